// What each keyword of the file means: the kinds of control, and for each property the kinds
// it applies to, how many values it takes and where they go.
#include "keywords.h"

#include <array>

namespace layout {

namespace {

constexpr std::array<std::string_view, 9> kKindNames = {
    "TextBox", "Label", "CommandButton",     "Timer",        "Image",
    "Shape",   "Line",  "MultimediaControl", "CommonDialog",
};

}  // namespace

std::string_view kindName(Kind kind) {
    const auto i = static_cast<std::size_t>(kind);
    return i < kKindNames.size() ? kKindNames[i] : "control";
}

namespace detail {

namespace {

constexpr unsigned kTexty = bit(Kind::TextBox) | bit(Kind::Label) | bit(Kind::CommandButton);
constexpr unsigned kBoxed =
    kTexty | bit(Kind::Image) | bit(Kind::Shape) | bit(Kind::MultimediaControl);
constexpr unsigned kOutlined = bit(Kind::Shape) | bit(Kind::Line);
constexpr unsigned kFocusable =
    bit(Kind::TextBox) | bit(Kind::CommandButton) | bit(Kind::MultimediaControl);

constexpr ControlProperty kControlProperties[] = {
    {"rect", kBoxed, 4,
     [](const Args& a, Control& c) {
         c.rect = {a.coordinate(0), a.coordinate(1), a.extent(2), a.extent(3)};
     }},
    {"ends", bit(Kind::Line), 4,
     [](const Args& a, Control& c) {
         c.x1 = a.coordinate(0);
         c.y1 = a.coordinate(1);
         c.x2 = a.coordinate(2);
         c.y2 = a.coordinate(3);
     }},
    {"back", kTexty, 1, [](const Args& a, Control& c) { c.backColour = a.colour(0); }},
    {"fore", kTexty, 1, [](const Args& a, Control& c) { c.foreColour = a.colour(0); }},
    {"border", kOutlined, 2,
     [](const Args& a, Control& c) {
         c.borderColour = a.colour(0);
         c.borderWidth = a.integer(1, 1, 100);
     }},
    {"fill", bit(Kind::Shape), 1,
     [](const Args& a, Control& c) {
         if (a.word(0) == "transparent") {
             c.fillColour.reset();
         } else {
             c.fillColour = a.colour(0);
         }
     }},
    {"font", kTexty, 5, [](const Args& a, Control& c) { c.font = a.font(); }},
    {"align", bit(Kind::TextBox) | bit(Kind::Label), 1,
     [](const Args& a, Control& c) { c.alignment = a.alignment(0); }},
    {"text", bit(Kind::TextBox), 1, [](const Args& a, Control& c) { c.text = a.text(0); }},
    {"caption", bit(Kind::Label) | bit(Kind::CommandButton), 1,
     [](const Args& a, Control& c) { c.text = a.text(0); }},
    {"tooltip", kTexty | bit(Kind::Image), 1,
     [](const Args& a, Control& c) { c.toolTip = a.text(0); }},
    {"readonly", bit(Kind::TextBox), 1, [](const Args& a, Control& c) { c.readOnly = a.yesNo(0); }},
    {"visible", kBoxed | bit(Kind::Line), 1,
     [](const Args& a, Control& c) { c.visible = a.yesNo(0); }},
    {"tabstop", kFocusable, 1, [](const Args& a, Control& c) { c.tabStop = a.yesNo(0); }},
    {"tabindex", kFocusable | bit(Kind::Label), 1,
     [](const Args& a, Control& c) { c.tabIndex = a.integer(0, 0, 32767); }},
    {"graphical", bit(Kind::CommandButton), 1,
     [](const Args& a, Control& c) { c.graphical = a.yesNo(0); }},
    {"stretch", bit(Kind::Image), 1, [](const Args& a, Control& c) { c.stretch = a.yesNo(0); }},
    {"picture", bit(Kind::CommandButton) | bit(Kind::Image), 1,
     [](const Args& a, Control& c) { c.picture = a.picture(0); }},
    {"downpicture", bit(Kind::CommandButton), 1,
     [](const Args& a, Control& c) { c.downPicture = a.picture(0); }},
    {"disabledpicture", bit(Kind::CommandButton), 1,
     [](const Args& a, Control& c) { c.disabledPicture = a.picture(0); }},
    {"interval", bit(Kind::Timer), 1,
     [](const Args& a, Control& c) { c.interval = a.integer(0, 0, 65535); }},
    {"enabled", bit(Kind::Timer), 1, [](const Args& a, Control& c) { c.enabled = a.yesNo(0); }},
};

constexpr Requirement kRequirements[] = {
    {"rect", kBoxed},           {"ends", bit(Kind::Line)},      {"border", kOutlined},
    {"fill", bit(Kind::Shape)}, {"interval", bit(Kind::Timer)},
};

constexpr FormProperty kFormProperties[] = {
    {"caption", 1, [](const Args& a, Form& f) { f.caption = a.text(0); }},
    {"client", 2,
     [](const Args& a, Form& f) {
         f.clientWidth = a.integer(0, 1, kMaxCoordinate);
         f.clientHeight = a.integer(1, 1, kMaxCoordinate);
     }},
    {"border", 1, [](const Args& a, Form& f) { f.border = a.yesNo(0); }},
    {"taskbar", 1, [](const Args& a, Form& f) { f.showInTaskbar = a.yesNo(0); }},
    {"startup", 1, [](const Args& a, Form& f) { f.startUpPosition = a.integer(0, 0, 3); }},
    {"linktopic", 1, [](const Args& a, Form& f) { f.linkTopic = a.text(0); }},
    {"picture", 1, [](const Args& a, Form& f) { f.picture = a.picture(0); }},
    {"icon", 1, [](const Args& a, Form& f) { f.icon = a.picture(0); }},
};

template <typename Property, std::size_t N>
const Property* find(const Property (&table)[N], std::string_view keyword) {
    for (const Property& property : table) {
        if (property.keyword == keyword) {
            return &property;
        }
    }
    return nullptr;
}

}  // namespace

const ControlProperty* controlProperty(std::string_view keyword) {
    return find(kControlProperties, keyword);
}

const FormProperty* formProperty(std::string_view keyword) {
    return find(kFormProperties, keyword);
}

std::span<const Requirement> requirements() {
    return kRequirements;
}

std::optional<Kind> kindNamed(std::string_view name) {
    for (std::size_t i = 0; i < kKindNames.size(); ++i) {
        if (name == kKindNames[i]) {
            return static_cast<Kind>(i);
        }
    }
    return std::nullopt;
}

}  // namespace detail

}  // namespace layout
