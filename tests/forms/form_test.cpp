// The form built from a layout file: the window's own settings, and what a layout that cannot be
// read gives at start.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTest>
#include <QToolTip>

#include <functional>
#include <sstream>

#include "failure.h"
#include "form.h"
#include "harness/table.h"
#include "harness/temp_dir.h"
#include "layout_copy.h"

namespace {

const QString kLayoutDir = QStringLiteral(LAYOUT_DIR);

class FormTest : public testing::Test {
  protected:
    FormTest() : boundary(errors), form(kLayoutDir + "/Form14.layout", boundary) {}

    std::ostringstream errors;
    forms::EventBoundary boundary;
    forms::Form form;
};

TEST_F(FormTest, WindowIsAFixedFramelessOrdinaryWindowLeftWhereTheDesktopPutsIt) {
    const QWidget& w = form.window();
    EXPECT_EQ(w.windowType(), Qt::Window) << "a tool or utility window leaves the window switcher";
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w.minimumSize(), QSize(410, 338));
    EXPECT_EQ(w.maximumSize(), QSize(410, 338));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Form14"));
    EXPECT_FALSE(w.testAttribute(Qt::WA_Moved)) << "the window was given a position";
    const QList<QSize> sizes = w.windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)) && sizes.contains(QSize(16, 16)))
        << sizes.size() << " icon sizes";
}

TEST_F(FormTest, MinimisesAndRestoresAndRefusesAnyOtherState) {
    form.window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form.window()));
    form.setWindowState(1);
    EXPECT_EQ(form.windowState(), 1);
    form.setWindowState(0);
    EXPECT_EQ(form.windowState(), 0);
    EXPECT_THROW(form.setWindowState(2), rt::Failure);
    EXPECT_EQ(form.windowState(), 0);
    EXPECT_TRUE(form.window().isVisible());
}

// The strip's stored tool tip shows where the pointer rests on it, and nowhere else on the face.
TEST_F(FormTest, PointerRestingOnTheStripShowsItsToolTip) {
    QWidget& window = form.window();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::mouseMove(&window, QPoint(150, 10));
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000)) << "no tool tip";
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Move"));

    QTest::mouseMove(&window, QPoint(30, 100));  // the clock panel
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000))
        << "the tool tip stays off the strip";
    EXPECT_FALSE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 1500))
        << "a tool tip shows over the clock panel: " << QToolTip::text().toStdString();
}

struct Damage {
    const char* name;
    std::function<void(const LayoutCopy&)> apply;
    QByteArray lineWith;  // the line the error must name
};

void PrintTo(const Damage& damage, std::ostream* out) {
    *out << damage.name;
}

class DamagedLayoutTest : public testing::TestWithParam<Damage> {};

TEST_P(DamagedLayoutTest, FailsAtStartNamingTheFileAndTheLine) {
    const LayoutCopy copy;
    GetParam().apply(copy);
    std::ostringstream errors;
    forms::EventBoundary boundary(errors);
    try {
        forms::Form form(copy.layout(), boundary);
        FAIL() << "the damaged layout was taken";
    } catch (const layout::LayoutError& e) {
        EXPECT_EQ(e.file(), copy.layout().toStdString());
        EXPECT_EQ(e.line(), copy.lineOf(GetParam().lineWith)) << e.what();
    }
}

void replaceInLayout(const LayoutCopy& copy, const QByteArray& from, const QByteArray& to) {
    copy.write("Form14.layout", copy.bytes().replace(from, to));
}

const Damage kDamages[] = {
    {"BadValue",
     [](const LayoutCopy& c) { replaceInLayout(c, "rect 0 15 7680 315", "rect 0 15 wide 315"); },
     "rect 0 15 wide 315"},
    {"MissingStripPicture", [](const LayoutCopy& c) { QFile::remove(c.path("strip.bmp")); },
     "control Image imCVerx 0"},
    {"DamagedPressedPicture",
     [](const LayoutCopy& c) { c.write("command4_down.bmp", "BM not a bitmap"); },
     "control CommandButton Command4"},
    {"MissingBackground", [](const LayoutCopy& c) { QFile::remove(c.path("background.bmp")); },
     "  picture \"background.bmp\""},
    {"DamagedIcon", [](const LayoutCopy& c) { c.write("form14.ico", "not an icon"); },
     "  icon \"form14.ico\""},
};

INSTANTIATE_TEST_SUITE_P(, DamagedLayoutTest, testing::ValuesIn(kDamages), harness::rowName);

TEST(MissingLayoutTest, FailsNamingTheFile) {
    const harness::TempDir dir("layout");
    const QString path = pathIn(dir, "Form14.layout");
    std::ostringstream errors;
    forms::EventBoundary boundary(errors);
    try {
        forms::Form form(path, boundary);
        FAIL() << "a missing layout was taken";
    } catch (const layout::LayoutError& e) {
        EXPECT_EQ(e.file(), path.toStdString());
    }
}

}  // namespace
