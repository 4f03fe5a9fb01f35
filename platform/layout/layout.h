#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The stored layout of a form: the window's settings and its controls, as data. The file keeps
// its texts in code page 1251; here every text is UTF-8.
namespace layout {

// 0x00BBGGRR, or 0x800000nn for system colour nn.
struct Colour {
    std::uint32_t value = 0;
    bool isSystem() const { return (value >> 24) == 0x80; }
    int systemIndex() const { return static_cast<int>(value & 0xFF); }
    bool operator==(const Colour&) const = default;
};

struct Font {
    std::string face;
    double points = 0;
    int weight = 400;
    bool italic = false;
    int charset = 0;
    bool operator==(const Font&) const = default;
};

// Twips within the form's client area.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

enum class Kind {
    TextBox,
    Label,
    CommandButton,
    Timer,
    Image,
    Shape,
    Line,
    MultimediaControl,
    CommonDialog,
};

// The kind as the file spells it: "TextBox", "CommandButton", ...
std::string_view kindName(Kind kind);

enum class Alignment { Left, Right, Centre };

struct Control {
    Kind kind = Kind::TextBox;
    std::string name;
    int index = -1;      // element of a control array; -1 when not in one
    int sourceLine = 0;  // line of the file where the control begins

    Rect rect;                              // all but Line, Timer and CommonDialog
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;     // Line only, twips
    std::optional<Colour> backColour;       // text box, label, button
    std::optional<Colour> foreColour;       // text box, label, button (its caption)
    std::optional<Colour> borderColour;     // shape, line
    std::optional<Colour> fillColour;       // shape; none means transparent inside
    int borderWidth = 1;                    // shape, line, pixels
    std::optional<Font> font;               // none: the form's default font
    Alignment alignment = Alignment::Left;  // a button's caption is always centred
    std::string text;                       // Text of a text box, Caption of a label/button
    std::string toolTip;
    bool readOnly = false;
    bool visible = true;
    bool tabStop = false;
    int tabIndex = -1;       // -1: no place in the tab order
    bool graphical = false;  // button drawn by its back colour or pictures
    bool stretch = false;    // image: picture stretched to the rectangle
    std::string picture;     // file names, relative to the layout file
    std::string downPicture;
    std::string disabledPicture;
    int interval = 0;     // timer, ms
    bool enabled = true;  // timer
};

struct Form {
    std::string name;
    std::string caption;
    int clientWidth = 0;  // twips
    int clientHeight = 0;
    bool border = true;
    bool showInTaskbar = true;
    int startUpPosition = 0;
    std::string linkTopic;
    std::string picture;  // background, relative to the layout file
    std::string icon;
    // In drawing order, back to front: windowless controls are painted in this order, and
    // the windowed ones lie over all of them.
    std::vector<Control> controls;

    const Control* find(std::string_view name) const;
};

// A layout that cannot be read. what() names the file and the line.
class LayoutError : public std::runtime_error {
  public:
    LayoutError(const std::string& file, int line, const std::string& message);
    const std::string& file() const { return file_; }
    int line() const { return line_; }

  private:
    std::string file_;
    int line_;
};

// Parses the bytes of a layout file (code page 1251). `fileName` is used in errors only.
Form parse(std::string_view bytes, const std::string& fileName);

// Code page 1251 to UTF-8. The one unassigned byte, 0x98, becomes U+FFFD; parse() rejects it.
std::string fromCp1251(std::string_view bytes);

}  // namespace layout
