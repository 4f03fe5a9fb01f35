// The committed layout of the clock window, read from disk, against the values the window
// is drawn from.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "layout.h"
#include "layout_file.h"

namespace {

using layout::Alignment;
using layout::Colour;
using layout::Control;
using layout::Font;
using layout::Form;
using layout::Kind;
using layout::Rect;

const Form& form14() {
    static const Form form = layout::parse(readLayoutFile(), "Form14.layout");
    return form;
}

const Control& get(const std::string& name) {
    const Control* control = form14().find(name);
    if (control == nullptr) {
        throw std::out_of_range("no control " + name + " in Form14.layout");
    }
    return *control;
}

constexpr std::optional<Colour> rgb(std::uint32_t value) {
    return Colour{value};
}
constexpr std::optional<Colour> sys(int index) {
    return Colour{0x80000000u | static_cast<std::uint32_t>(index)};
}

TEST(Form14Layout, WindowSettings) {
    const Form& form = form14();
    EXPECT_EQ(form.name, "Form14");
    EXPECT_EQ(form.caption, "Form14");
    EXPECT_EQ(form.clientWidth, 6150);
    EXPECT_EQ(form.clientHeight, 5070);
    EXPECT_FALSE(form.border);
    EXPECT_FALSE(form.showInTaskbar);
    EXPECT_EQ(form.startUpPosition, 3);
    EXPECT_EQ(form.linkTopic, "Form14");
    EXPECT_EQ(form.picture, "background.bmp");
    EXPECT_EQ(form.icon, "form14.ico");
}

// Every control that shows a text: its place, colours, font and alignment.
TEST(Form14Layout, TextBoxesLabelsAndButtons) {
    const Font franklin{"Franklin Gothic Medium", 30, 700, true, 204};
    const Font script{"Script", 18, 700, true, 255};
    const Font palatino18{"Palatino Linotype", 18, 400, true, 204};
    const Font courier{"Courier New", 15, 700, false, 204};
    const Font palatino9{"Palatino Linotype", 9, 700, true, 204};
    const Font palatino975{"Palatino Linotype", 9.75, 700, true, 204};
    const auto navy = rgb(0x00800000), cyan = rgb(0x00FFFFC0), blue = rgb(0x00FF0000);
    const auto orange = rgb(0x0080C0FF), green = rgb(0x0000C000), btnText = sys(18);
    struct Row {
        std::string name;
        Kind kind;
        Rect rect;
        std::optional<Colour> back, fore;
        std::optional<Font> font;
        Alignment alignment;
        bool readOnly;
    };
    const Row rows[] = {
        {"Циферблат_часов",
         Kind::TextBox,
         {1035, 780, 4200, 615},
         cyan,
         navy,
         franklin,
         Alignment::Centre,
         true},
        {"Циферблат_даты",
         Kind::TextBox,
         {795, 1710, 1450, 430},
         cyan,
         navy,
         script,
         Alignment::Centre,
         true},
        {"Циферблат_дня_недели",
         Kind::TextBox,
         {3555, 1725, 2055, 430},
         cyan,
         sys(13),
         palatino18,
         Alignment::Centre,
         true},
        {"Циферблат_будильника",
         Kind::TextBox,
         {795, 3045, 1450, 430},
         rgb(0x00C0FFFF),
         sys(13),
         courier,
         Alignment::Centre,
         false},
        {"Циферблат_секундомера",
         Kind::TextBox,
         {3555, 3285, 2055, 430},
         rgb(0x00C0FFC0),
         sys(2),
         palatino18,
         Alignment::Centre,
         true},
        {"txtBrowse",
         Kind::TextBox,
         {380, 4340, 1185, 255},
         sys(5),
         sys(8),
         std::nullopt,
         Alignment::Left,
         false},
        {"Метка_будильника",
         Kind::Label,
         {360, 2520, 2205, 255},
         rgb(0x0080FFFF),
         blue,
         palatino9,
         Alignment::Left,
         false},
        {"Label1",
         Kind::Label,
         {4050, 2520, 1155, 270},
         rgb(0x0080FF80),
         blue,
         palatino975,
         Alignment::Centre,
         false},
        {"Кнопка_включения_выключения_будильника",
         Kind::CommandButton,
         {360, 3600, 2295, 255},
         orange,
         btnText,
         std::nullopt,
         Alignment::Centre,
         false},
        {"Кнопка_выключения_сигнала",
         Kind::CommandButton,
         {360, 3960, 2295, 255},
         orange,
         btnText,
         std::nullopt,
         Alignment::Centre,
         false},
        {"cmdBrowse",
         Kind::CommandButton,
         {1680, 4320, 975, 255},
         orange,
         btnText,
         std::nullopt,
         Alignment::Centre,
         false},
        {"Кнопка_пуска_паузы_секундомера",
         Kind::CommandButton,
         {3480, 3960, 855, 615},
         green,
         btnText,
         std::nullopt,
         Alignment::Centre,
         false},
        {"Кнопка_обнуления_секундомера",
         Kind::CommandButton,
         {4800, 3960, 855, 615},
         green,
         btnText,
         std::nullopt,
         Alignment::Centre,
         false},
        {"Command3",
         Kind::CommandButton,
         {5400, 30, 300, 285},
         std::nullopt,  // no colour stored: the platform's button face
         std::nullopt,
         std::nullopt,
         Alignment::Centre,
         false},
        {"Command4",
         Kind::CommandButton,
         {5760, 30, 300, 285},
         std::nullopt,  // no colour stored: the platform's button face
         std::nullopt,
         std::nullopt,
         Alignment::Centre,
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Control& c = get(row.name);
        EXPECT_EQ(c.kind, row.kind);
        EXPECT_EQ(c.rect, row.rect);
        EXPECT_EQ(c.backColour, row.back);
        EXPECT_EQ(c.foreColour, row.fore);
        EXPECT_EQ(c.font, row.font);
        EXPECT_EQ(c.alignment, row.alignment);
        EXPECT_EQ(c.readOnly, row.readOnly);
        EXPECT_EQ(c.graphical, row.kind == Kind::CommandButton);
        EXPECT_TRUE(c.visible);
    }
}

// Every stored text and caption, typos and never-shown placeholders included.
TEST(Form14Layout, StoredTextsAndCaptions) {
    const std::pair<std::string, std::string> rows[] = {
        {"Циферблат_часов", ""},
        {"Циферблат_даты", ""},
        {"Циферблат_дня_недели", ""},
        {"Циферблат_будильника", "12:00:00"},
        {"Циферблат_секундомера", ""},
        {"txtBrowse", "Мелодия"},
        {"Метка_будильника", "Будильник установлен на"},
        {"Label1", "Секундомер"},
        {"Кнопка_включения_выключения_будильника", "Command1"},
        {"Кнопка_выключения_сигнала", "Выключить сигнал"},
        {"cmdBrowse", "Обзор..."},
        {"Кнопка_пуска_паузы_секундомера", "Command1"},
        {"Кнопка_обнуления_секундомера", "СБРОС"},
        {"Command3", ""},
        {"Command4", ""},
    };
    for (const auto& [name, text] : rows) {
        EXPECT_EQ(get(name).text, text) << name;
    }
    int textual = 0;
    for (const Control& c : form14().controls) {
        textual += c.kind == Kind::TextBox || c.kind == Kind::Label ||
                   c.kind == Kind::CommandButton || !c.text.empty();
    }
    EXPECT_EQ(textual, std::ssize(rows)) << "a control with a text is missing from the table";
    EXPECT_EQ(get("imCVerx").toolTip, "Move");
}

TEST(Form14Layout, WindowButtonsCarryThreePictures) {
    for (const std::string name : {"Command3", "Command4"}) {
        SCOPED_TRACE(name);
        const Control& c = get(name);
        const std::string stem = name == "Command3" ? "command3" : "command4";
        EXPECT_EQ(c.picture, stem + ".bmp");
        EXPECT_EQ(c.downPicture, stem + "_down.bmp");
        EXPECT_EQ(c.disabledPicture, stem + "_disabled.bmp");
    }
    const Control& face = get("cmdBrowse");
    EXPECT_TRUE(face.picture.empty() && face.downPicture.empty() && face.disabledPicture.empty());
}

TEST(Form14Layout, Shapes) {
    struct Row {
        std::string name;
        Rect rect;
        std::optional<Colour> border;
        int width;
        std::optional<Colour> fill;  // none: transparent
    };
    const auto red = rgb(0x000000FF), yellow = rgb(0x0000FFFF);
    const Row rows[] = {
        {"Shape8", {120, 480, 5895, 4455}, rgb(0x0000FF00), 3, std::nullopt},
        {"Shape9", {300, 615, 5535, 1725}, red, 3, rgb(0x00FFC0FF)},
        {"Shape4", {240, 2400, 2535, 2340}, yellow, 3, rgb(0x0080FFFF)},
        {"Shape6", {3360, 2400, 2535, 2340}, yellow, 3, rgb(0x0080FF80)},
        {"Shape1", {960, 720, 4320, 720}, red, 5, std::nullopt},
        {"Shape2", {735, 1665, 1575, 540}, sys(5), 5, std::nullopt},
        {"Shape3", {3495, 1680, 2175, 540}, sys(9), 5, std::nullopt},
        {"Shape5", {720, 3000, 1590, 540}, sys(1), 5, std::nullopt},
        {"Shape7", {3480, 3240, 2175, 540}, sys(1), 5, std::nullopt},
        {"Shape10", {360, 4320, 1215, 300}, red, 5, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Control& c = get(row.name);
        EXPECT_EQ(c.kind, Kind::Shape);
        EXPECT_EQ(c.rect, row.rect);
        EXPECT_EQ(c.borderColour, row.border);
        EXPECT_EQ(c.borderWidth, row.width);
        EXPECT_EQ(c.fillColour, row.fill);
    }
}

TEST(Form14Layout, FrameLines) {
    struct Row {
        std::string name;
        int x1, y1, x2, y2;
        std::optional<Colour> colour;
        int width;
    };
    const auto cyan = rgb(0x00FFFF00);
    const Row rows[] = {
        {"Line1", 0, 0, 7680, 0, sys(2), 3},     {"Line2", 0, 350, 7680, 350, sys(2), 2},
        {"Line3", 0, 0, 0, 5760, sys(2), 3},     {"Line4", 6120, 0, 6120, 5760, cyan, 3},
        {"Line5", 7680, 5040, 0, 5040, cyan, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Control& c = get(row.name);
        EXPECT_EQ(c.kind, Kind::Line);
        EXPECT_EQ((std::vector{c.x1, c.y1, c.x2, c.y2}),
                  (std::vector{row.x1, row.y1, row.x2, row.y2}));
        EXPECT_EQ(c.borderColour, row.colour);
        EXPECT_EQ(c.borderWidth, row.width);
    }
}

TEST(Form14Layout, DragStrip) {
    const Control& strip = get("imCVerx");
    EXPECT_EQ(strip.kind, Kind::Image);
    EXPECT_EQ(strip.index, 0);
    EXPECT_EQ(strip.rect, (Rect{0, 15, 7680, 315}));
    EXPECT_EQ(strip.picture, "strip.bmp");
    EXPECT_TRUE(strip.stretch);
    EXPECT_EQ(strip.toolTip, "Move");
}

TEST(Form14Layout, TimersAndOutsideControls) {
    const std::pair<std::string, int> timers[] = {{"Таймер_часов", 1}, {"Таймер_секундомера", 5}};
    for (const auto& [name, interval] : timers) {
        const Control& timer = get(name);
        EXPECT_EQ(timer.kind, Kind::Timer) << name;
        EXPECT_EQ(timer.interval, interval) << name;
        EXPECT_TRUE(timer.enabled) << name;
    }
    const Control& player = get("Плеер");
    EXPECT_EQ(player.kind, Kind::MultimediaControl);
    EXPECT_EQ(player.rect, (Rect{-1320, 4920, 3540, 330}));
    EXPECT_FALSE(player.visible);
    EXPECT_EQ(get("CommonDialog1").kind, Kind::CommonDialog);
    for (const Control& c : form14().controls) {
        EXPECT_EQ(c.visible, c.name != "Плеер") << c.name;
    }
}

TEST(Form14Layout, TabOrderAndTabStops) {
    const std::string byIndex[] = {
        "Кнопка_обнуления_секундомера",
        "Кнопка_пуска_паузы_секундомера",
        "Циферблат_секундомера",
        "Плеер",
        "Циферблат_будильника",
        "Кнопка_выключения_сигнала",
        "Кнопка_включения_выключения_будильника",
        "Циферблат_дня_недели",
        "Циферблат_часов",
        "Циферблат_даты",
        "Label1",
        "Метка_будильника",
        "Command3",
        "Command4",
        "txtBrowse",
        "cmdBrowse",
    };
    for (int i = 0; i < std::ssize(byIndex); ++i) {
        EXPECT_EQ(get(byIndex[i]).tabIndex, i) << byIndex[i];
    }
    int inOrder = 0, stops = 0;
    for (const Control& c : form14().controls) {
        inOrder += c.tabIndex >= 0;
        stops += c.tabStop;
        EXPECT_EQ(c.tabStop, c.kind == Kind::CommandButton) << c.name;
    }
    EXPECT_EQ(inOrder, std::ssize(byIndex));
    EXPECT_EQ(stops, 7);
}

bool windowless(Kind kind) {
    return kind == Kind::Label || kind == Kind::Shape || kind == Kind::Line || kind == Kind::Image;
}

TEST(Form14Layout, WindowlessControlsComeFirstInDrawingOrder) {
    const std::vector<std::string> backToFront = {
        "Shape4", "Shape6",  "Shape9", "Shape8",  "Label1", "Shape7", "Shape5", "Метка_будильника",
        "Shape3", "Shape2",  "Shape1", "imCVerx", "Line1",  "Line2",  "Line3",  "Line4",
        "Line5",  "Shape10",
    };
    std::vector<std::string> names;
    for (const Control& c : form14().controls) {
        if (windowless(c.kind)) {
            names.push_back(c.name);
        }
    }
    EXPECT_EQ(names, backToFront);
    const std::vector<Control>& all = form14().controls;
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(windowless(all[i].kind), i < backToFront.size()) << all[i].name;
    }
}

TEST(Form14Layout, FileIsCodePage1251) {
    const std::string bytes = readLayoutFile();
    EXPECT_NE(bytes.find("control MultimediaControl \xCF\xEB\xE5\xE5\xF0\n"), std::string::npos)
        << "the player's name is not stored as cp1251 bytes";
    EXPECT_EQ(bytes.find("Плеер"), std::string::npos) << "UTF-8 text in the file";
    ASSERT_NE(form14().find("Плеер"), nullptr);
    EXPECT_EQ(get("Метка_будильника").name, "Метка_будильника");
}

}  // namespace
