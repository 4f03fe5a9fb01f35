// Focus and typing on the real layout, shown and active on the offscreen platform.
#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>

#include <sstream>
#include <string>
#include <vector>

#include "form.h"
#include "harness/table.h"

namespace {

const std::vector<std::string> kTabCycle = {
    "Кнопка_обнуления_секундомера",
    "Кнопка_пуска_паузы_секундомера",
    "Кнопка_выключения_сигнала",
    "Кнопка_включения_выключения_будильника",
    "Command3",
    "Command4",
    "cmdBrowse",
};

class KeyboardTest : public testing::Test {
  protected:
    KeyboardTest() : boundary(errors), form(QStringLiteral(LAYOUT_DIR "/Form14.layout"), boundary) {
        form.window().show();
        form.window().activateWindow();
    }
    void SetUp() override { ASSERT_TRUE(QTest::qWaitForWindowActive(&form.window())); }

    std::string focused() const {
        const QWidget* w = QApplication::focusWidget();
        return w != nullptr ? w->objectName().toStdString() : "(nothing)";
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    QLineEdit& box(const char* name) { return form.textBox(name).widget(); }

    std::ostringstream errors;
    forms::EventBoundary boundary;
    forms::Form form;
};

struct Direction {
    const char* name;
    Qt::KeyboardModifiers modifiers;
    int step;
};

void PrintTo(const Direction& direction, std::ostream* out) {
    *out << direction.name;
}

const Direction kDirections[] = {
    {"Tab", Qt::NoModifier, 1},
    {"ShiftTab", Qt::ShiftModifier, -1},
};

class TabCycleTest : public KeyboardTest, public testing::WithParamInterface<Direction> {};

TEST_P(TabCycleTest, VisitsTheSevenButtonsInTabIndexOrderAndWraps) {
    ASSERT_EQ(focused(), kTabCycle.front()) << "the first focus";
    const int n = int(kTabCycle.size());
    for (int i = 1; i <= n; ++i) {
        press(Qt::Key_Tab, GetParam().modifiers);
        EXPECT_EQ(focused(), kTabCycle[((GetParam().step * i) % n + n) % n]) << "after " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(, TabCycleTest, testing::ValuesIn(kDirections), harness::rowName);

TEST_F(KeyboardTest, ClickFocusesATextBoxAndTabLeavesItForAButton) {
    for (const char* name : {"Циферблат_часов", "Циферблат_даты", "Циферблат_дня_недели",
                             "Циферблат_будильника", "Циферблат_секундомера", "txtBrowse"}) {
        QTest::mouseClick(&box(name), Qt::LeftButton);
        EXPECT_EQ(focused(), name);
        press(Qt::Key_Tab);
        EXPECT_NE(std::find(kTabCycle.begin(), kTabCycle.end(), focused()), kTabCycle.end())
            << "Tab from " << name << " went to " << focused();
    }
}

// Painting a huge text is slow, so its focused box holds the cursor still; every other box, and
// that box once the text is short or the focus gone, blinks at the application's rate.
TEST_F(KeyboardTest, AHugeTextHoldsTheCursorStillOnlyWhileFocused) {
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    ASSERT_GT(flashTime, 0);
    const auto blinking = [] { return QGuiApplication::styleHints()->cursorFlashTime(); };
    QLineEdit& alarm = box("Циферблат_будильника");
    QTest::mouseClick(&alarm, Qt::LeftButton);
    EXPECT_EQ(blinking(), flashTime) << "a short text";
    alarm.setText(QString(20000, u'x'));
    EXPECT_EQ(blinking(), 0) << "pasted while focused";
    press(Qt::Key_Tab);
    EXPECT_EQ(blinking(), flashTime) << "the focus left";
    QTest::mouseClick(&alarm, Qt::LeftButton);
    EXPECT_EQ(blinking(), 0) << "the focus came back";
    QTest::mouseClick(&box("txtBrowse"), Qt::LeftButton);
    EXPECT_EQ(blinking(), flashTime) << "another box has the focus";
    QTest::mouseClick(&alarm, Qt::LeftButton);
    alarm.setText("7:30");
    EXPECT_EQ(blinking(), flashTime) << "the text is short again";
}

TEST_F(KeyboardTest, ReadOnlyDialsLetTheUserSelectButNotType) {
    for (const char* name :
         {"Циферблат_часов", "Циферблат_даты", "Циферблат_дня_недели", "Циферблат_секундомера"}) {
        form.textBox(name).setText("10:15:00");
        QTest::mouseClick(&box(name), Qt::LeftButton);
        QTest::keyClicks(&box(name), "99");
        press(Qt::Key_Backspace);
        EXPECT_EQ(form.textBox(name).text(), "10:15:00") << name;
        press(Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(box(name).selectedText(), QStringLiteral("10:15:00")) << name;
    }
}

TEST_F(KeyboardTest, EditableBoxesTakeTypingBeyondTheLineEditDefaultLimit) {
    for (const char* name : {"Циферблат_будильника", "txtBrowse"}) {
        form.textBox(name).setText(std::string(32767, 'x'));
        QTest::mouseClick(&box(name), Qt::LeftButton);
        press(Qt::Key_End);
        QTest::keyClicks(&box(name), "yz");
        const std::string typed = form.textBox(name).text();
        EXPECT_EQ(typed.size(), 32769u) << name;
        EXPECT_EQ(typed.substr(typed.size() - 3), "xyz") << name;
    }
}

TEST_F(KeyboardTest, SpaceAndEnterClickTheFocusedButton) {
    int clicks = 0;
    form.button(kTabCycle[1]).onClick([&clicks] { ++clicks; });
    press(Qt::Key_Tab);
    ASSERT_EQ(focused(), kTabCycle[1]);
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        const int before = clicks;
        press(key);
        EXPECT_EQ(clicks, before + 1) << "key " << int(key);
    }
    EXPECT_EQ(focused(), kTabCycle[1]) << "a click from the keyboard keeps the focus";
}

}  // namespace
