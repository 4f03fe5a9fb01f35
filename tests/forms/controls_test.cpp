#include <gtest/gtest.h>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QWidget>
#include <functional>

#include "controls.h"

namespace {

layout::Control textBoxSpec() {
    layout::Control c;
    c.kind = layout::Kind::TextBox;
    c.name = "box";
    c.rect = {795, 3045, 1450, 430};
    c.text = "12:00:00";
    return c;
}

TEST(TextBoxTest, TakesTextBeyondTheLineEditDefaultLimit) {
    QWidget parent;
    forms::TextBox box(textBoxSpec(), parent);
    const std::string longText(40000, 'x');
    box.setText(longText);
    EXPECT_EQ(box.text().size(), longText.size());
}

TEST(TextBoxTest, SettingTheSameTextKeepsTheSelection) {
    QWidget parent;
    forms::TextBox box(textBoxSpec(), parent);
    box.widget().selectAll();
    box.setText("12:00:00");
    EXPECT_TRUE(box.widget().hasSelectedText());
    box.setText("12:00:01");
    EXPECT_EQ(box.text(), "12:00:01");
}

TEST(TextBoxTest, KeepsCyrillicText) {
    QWidget parent;
    forms::TextBox box(textBoxSpec(), parent);
    box.setText("/home/user/Музыка/мелодия 1.wav");
    EXPECT_EQ(box.text(), "/home/user/Музыка/мелодия 1.wav");
}

// The text is kept converted between reads; every way the text can change must show in it.
TEST(TextBoxTest, TextFollowsEveryEdit) {
    QWidget parent;
    forms::TextBox box(textBoxSpec(), parent);
    QLineEdit& edit = box.widget();
    const struct {
        const char* name;
        std::function<void()> edit;
        const char* text;
    } steps[] = {
        {"SetOnTheWidget", [&] { edit.setText("7:30"); }, "7:30"},
        {"Typed", [&] { edit.end(false), edit.insert(":15"); }, "7:30:15"},
        {"Backspace", [&] { edit.backspace(); }, "7:30:1"},
        {"Undone", [&] { edit.undo(); }, "7:30:15"},
        {"Pasted", [&] { QGuiApplication::clipboard()->setText("Будильник"), edit.paste(); },
         "7:30:15Будильник"},
        {"CutAll", [&] { edit.selectAll(), edit.cut(); }, ""},
        {"SetOnTheBox", [&] { box.setText("12:00:00"); }, "12:00:00"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        box.text();
        step.edit();
        EXPECT_EQ(box.text(), step.text);
    }
}

TEST(LabelTest, SizesItselfToItsCaptionAndKeepsItsCorner) {
    QWidget surface;
    layout::Control c;
    c.kind = layout::Kind::Label;
    c.rect = {360, 2520, 2205, 255};
    c.font = layout::Font{"Palatino Linotype", 9, 700, true, 204};
    c.text = "Будильник установлен на";
    forms::Label label(c, surface);
    const QRect stored = label.bounds();
    label.setCaption("Будильник установлен на:");
    const QRect armed = label.bounds();
    label.setCaption("Будильник отклучен");
    const QRect disarmed = label.bounds();

    EXPECT_EQ(armed.topLeft(), QPoint(24, 168));
    EXPECT_EQ(disarmed.topLeft(), QPoint(24, 168));
    EXPECT_GT(armed.width(), stored.width());
    EXPECT_LT(disarmed.width(), armed.width());
    EXPECT_EQ(armed.height(), disarmed.height());
}

}  // namespace
