#include <gtest/gtest.h>

#include <sstream>

#include "event_boundary.h"
#include "failure.h"

namespace {

class EventBoundaryTest : public ::testing::Test {
  protected:
    void fail(const std::string& procedure, const std::string& text) {
        boundary.run(procedure, [&] { throw rt::Failure(rt::kTypeMismatch, text); });
    }
    void succeed(const std::string& procedure) {
        boundary.run(procedure, [] {});
    }
    int lines() const {
        const std::string s = errors.str();
        return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
    }

    std::ostringstream errors;
    forms::EventBoundary boundary{errors};
};

TEST_F(EventBoundaryTest, RepeatedFailureIsWrittenOnceWithProcedureAndText) {
    for (int i = 0; i < 100; ++i) {
        fail("Таймер_часов_Timer", "bad alarm text");
    }
    EXPECT_EQ(errors.str(), "Таймер_часов_Timer: failure 13: bad alarm text\n");
}

TEST_F(EventBoundaryTest, FailureIsWrittenAgainWhenItChangesOrAfterASuccess) {
    fail("tick", "one");
    fail("tick", "two");
    EXPECT_EQ(lines(), 2);
    fail("tick", "two");
    EXPECT_EQ(lines(), 2);
    succeed("tick");
    fail("tick", "two");
    EXPECT_EQ(lines(), 3);
}

TEST_F(EventBoundaryTest, ProceduresAreReckonedApart) {
    fail("a", "same");
    fail("b", "same");
    succeed("b");
    fail("a", "same");
    EXPECT_EQ(lines(), 2);
}

TEST_F(EventBoundaryTest, AnyExceptionStopsAtTheBoundary) {
    EXPECT_NO_THROW(boundary.run("p", [] { throw std::out_of_range("index"); }));
    EXPECT_NE(errors.str().find("p: failure: index"), std::string::npos);
}

TEST_F(EventBoundaryTest, SuccessWritesNothing) {
    succeed("p");
    EXPECT_EQ(errors.str(), "");
}

}  // namespace
