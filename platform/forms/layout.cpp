// Reader of the layout file. The format, one statement a line, '#' to the end of a line is a
// comment:
//
//   form NAME                      then the form's settings, then "end"
//   control KIND NAME [INDEX]      then the control's properties, then "end"
//
// The form comes first and once; the controls follow in drawing order, back to front. A value
// is a plain word (number, 0xXXXXXXXX colour, yes/no, keyword) or a text in double quotes,
// where \" and \\ stand for a quote and a backslash. Names and texts are code page 1251.
//
// Every check below exists so that any byte string ends as a Form or a LayoutError: the input
// is read line by line with explicit bounds, numbers go through from_chars with range checks,
// and nothing recurses.
#include "layout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <map>
#include <span>
#include <tuple>
#include <utility>

namespace layout {

LayoutError::LayoutError(const std::string& file, int line, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message),
      file_(file),
      line_(line) {}

const Control* Form::find(std::string_view name) const {
    for (const Control& control : controls) {
        if (control.name == name) {
            return &control;
        }
    }
    return nullptr;
}

namespace {

constexpr std::array<std::string_view, 9> kKindNames = {
    "TextBox", "Label", "CommandButton",     "Timer",        "Image",
    "Shape",   "Line",  "MultimediaControl", "CommonDialog",
};

// Code points of bytes 0x80..0xBF; 0 marks 0x98, which code page 1251 leaves unassigned.
constexpr std::array<char16_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};
constexpr unsigned char kUnassignedByte = 0x98;

char32_t codePoint(unsigned char byte) {
    if (byte < 0x80) {
        return byte;
    }
    if (byte >= 0xC0) {
        return 0x0410 + (byte - 0xC0);  // А..я in alphabet order
    }
    const char16_t c = kUpperHalf[byte - 0x80];
    return c == 0 ? 0xFFFD : c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Layouts are a few kilobytes; the cap keeps line numbers and allocations small on junk input.
constexpr std::size_t kMaxFileBytes = 1 << 20;
constexpr int kMaxCoordinate = 1'000'000;  // twips, far beyond any screen
constexpr std::size_t kMaxNameBytes = 40;
constexpr std::size_t kShownBytes = 40;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}
bool isDigit(unsigned char b) {
    return b >= '0' && b <= '9';
}
bool isHexDigit(unsigned char b) {
    return isDigit(b) || (b >= 'a' && b <= 'f') || (b >= 'A' && b <= 'F');
}
bool isNameByte(unsigned char b) {
    const bool ascii = isDigit(b) || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_';
    const bool cyrillic = b >= 0xC0 || b == 0xA8 || b == 0xB8;  // А..я, Ё, ё
    return ascii || cyrillic;
}

// Bytes of the file quoted in an error message: UTF-8, short, without control characters.
std::string show(std::string_view raw) {
    std::string bytes(raw.substr(0, kShownBytes));
    for (char& c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            c = '?';
        }
    }
    std::string shown(1, '\'');
    shown += fromCp1251(bytes);
    shown += '\'';
    return raw.size() > kShownBytes ? shown + "..." : shown;
}

struct Token {
    std::string value;  // raw cp1251 bytes; a text without its quotes and escapes
    bool quoted = false;
};

// Where an error is reported.
struct Site {
    const std::string& file;
    int line;
    [[noreturn]] void fail(const std::string& message) const {
        throw LayoutError(file, line, message);
    }
};

// Splits one line into words and texts.
class Tokenizer {
  public:
    Tokenizer(const Site& site, std::string_view line) : site_(site), line_(line) {}

    std::vector<Token> run() {
        while (pos_ < line_.size()) {
            const char c = line_[pos_];
            if (isSpace(c)) {
                ++pos_;
            } else if (c == '#') {
                break;
            } else if (c == '"') {
                readText();
            } else {
                readWord();
            }
        }
        return std::move(tokens_);
    }

  private:
    bool atBreak() const {
        return pos_ >= line_.size() || isSpace(line_[pos_]) || line_[pos_] == '#';
    }

    void readWord() {
        const std::size_t start = pos_;
        while (!atBreak()) {
            if (line_[pos_] == '"') {
                site_.fail("a quote inside the word " + show(line_.substr(start, pos_ - start)));
            }
            ++pos_;
        }
        tokens_.push_back({std::string(line_.substr(start, pos_ - start)), false});
    }

    void readText() {
        std::string value;
        ++pos_;
        while (true) {
            if (pos_ >= line_.size()) {
                site_.fail("a text without its closing quote");
            }
            const auto b = static_cast<unsigned char>(line_[pos_]);
            if (b == '"') {
                break;
            }
            value += b == '\\' ? escaped() : plain(b);
            ++pos_;
        }
        ++pos_;
        if (!atBreak()) {
            site_.fail("a text must be followed by a space");
        }
        tokens_.push_back({std::move(value), true});
    }

    char escaped() {
        ++pos_;
        if (pos_ >= line_.size()) {
            site_.fail("a text without its closing quote");
        }
        const char c = line_[pos_];
        if (c != '"' && c != '\\') {
            site_.fail("unknown escape " + show(std::string("\\") + c) +
                       " in a text: only \\\" and \\\\ are known");
        }
        return c;
    }

    char plain(unsigned char b) const {
        if (b < 0x20 || b == 0x7F) {
            site_.fail("control character " + std::to_string(b) + " in a text");
        }
        if (b == kUnassignedByte) {
            site_.fail("byte 0x98 in a text: it is no character of code page 1251");
        }
        return static_cast<char>(b);
    }

    const Site& site_;
    std::string_view line_;
    std::size_t pos_ = 0;
    std::vector<Token> tokens_;
};

// The values after a keyword, read as the keyword needs them.
class Args {
  public:
    Args(const Site& site, std::span<const Token> tokens) : site_(site), tokens_(tokens) {}

    std::size_t size() const { return tokens_.size(); }
    const Site& site() const { return site_; }

    const std::string& word(std::size_t i) const {
        if (tokens_[i].quoted) {
            site_.fail("expected a plain value, not the text \"" + show(tokens_[i].value) + "\"");
        }
        return tokens_[i].value;
    }

    std::string text(std::size_t i) const {
        if (!tokens_[i].quoted) {
            site_.fail(show(tokens_[i].value) + " must be a text in double quotes");
        }
        return fromCp1251(tokens_[i].value);
    }

    int integer(std::size_t i, int lo, int hi) const {
        const std::string& s = word(i);
        long long v = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec == std::errc() && end == s.data() + s.size() && (v < lo || v > hi)) {
            site_.fail(show(s) + " is out of range " + std::to_string(lo) + " to " +
                       std::to_string(hi));
        }
        if (ec == std::errc::result_out_of_range) {
            site_.fail(show(s) + " is too large a number");
        }
        if (ec != std::errc() || end != s.data() + s.size()) {
            site_.fail(show(s) + " is not a whole number");
        }
        return static_cast<int>(v);
    }

    int coordinate(std::size_t i) const { return integer(i, -kMaxCoordinate, kMaxCoordinate); }
    int extent(std::size_t i) const { return integer(i, 0, kMaxCoordinate); }

    bool yesNo(std::size_t i) const {
        const std::string& s = word(i);
        if (s != "yes" && s != "no") {
            site_.fail("expected yes or no, not " + show(s));
        }
        return s == "yes";
    }

    Colour colour(std::size_t i) const {
        const std::string& s = word(i);
        const bool shaped = s.size() == 10 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
        bool hex = shaped;
        for (std::size_t k = 2; hex && k < s.size(); ++k) {
            hex = isHexDigit(static_cast<unsigned char>(s[k]));
        }
        if (!hex) {
            site_.fail(show(s) + " is not a colour: write 0x and eight hex digits");
        }
        std::uint32_t v = 0;
        std::from_chars(s.data() + 2, s.data() + s.size(), v, 16);
        const std::uint32_t top = v >> 24;
        if (top == 0x80 ? (v & 0x00FFFF00) != 0 : top != 0) {
            site_.fail(show(s) + " is neither 0x00BBGGRR nor a system colour 0x800000nn");
        }
        return Colour{v};
    }

    // A picture lies beside the layout file: no absolute paths, no way out of the folder.
    std::string picture(std::size_t i) const {
        const std::string name = text(i);
        bool escapes = name.empty() || name[0] == '/' || name[0] == '\\' ||
                       name.find(':') != std::string::npos;
        std::size_t start = 0;
        while (!escapes && start <= name.size()) {
            const std::size_t stop = std::min(name.find_first_of("/\\", start), name.size());
            escapes = name.compare(start, stop - start, "..") == 0;
            start = stop + 1;
        }
        if (escapes) {
            site_.fail("picture " + show(name) + " must name a file beside the layout");
        }
        return name;
    }

    Font font() const {
        Font f;
        f.face = text(0);
        if (f.face.empty()) {
            site_.fail("a font needs a face name");
        }
        f.points = points(1);
        f.weight = integer(2, 1, 1000);
        const std::string& style = word(3);
        if (style != "italic" && style != "upright") {
            site_.fail("font style is italic or upright, not " + show(style));
        }
        f.italic = style == "italic";
        f.charset = integer(4, 0, 255);
        return f;
    }

    Alignment alignment(std::size_t i) const {
        const std::string& s = word(i);
        if (s == "left") {
            return Alignment::Left;
        }
        if (s == "right") {
            return Alignment::Right;
        }
        if (s != "centre") {
            site_.fail("alignment is left, right or centre, not " + show(s));
        }
        return Alignment::Centre;
    }

  private:
    double points(std::size_t i) const {
        const std::string& s = word(i);
        double v = 0;
        const auto [end, ec] =
            std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
        if (ec != std::errc() || end != s.data() + s.size()) {
            site_.fail(show(s) + " is not a font size in points");
        }
        if (!(v > 0 && v <= 2048)) {  // also turns away nan and inf
            site_.fail("font size " + show(s) + " is out of range: above 0, at most 2048");
        }
        return v;
    }

    const Site& site_;
    std::span<const Token> tokens_;
};

constexpr unsigned bit(Kind kind) {
    return 1u << static_cast<unsigned>(kind);
}

constexpr unsigned kTexty = bit(Kind::TextBox) | bit(Kind::Label) | bit(Kind::CommandButton);
constexpr unsigned kBoxed =
    kTexty | bit(Kind::Image) | bit(Kind::Shape) | bit(Kind::MultimediaControl);
constexpr unsigned kOutlined = bit(Kind::Shape) | bit(Kind::Line);
constexpr unsigned kFocusable =
    bit(Kind::TextBox) | bit(Kind::CommandButton) | bit(Kind::MultimediaControl);

struct ControlProperty {
    std::string_view keyword;
    unsigned kinds;
    std::size_t arity;
    void (*apply)(const Args&, Control&);
};

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

// Values without which a control of the kind cannot be placed or run.
constexpr std::pair<std::string_view, unsigned> kRequired[] = {
    {"rect", kBoxed},           {"ends", bit(Kind::Line)},      {"border", kOutlined},
    {"fill", bit(Kind::Shape)}, {"interval", bit(Kind::Timer)},
};

struct FormProperty {
    std::string_view keyword;
    std::size_t arity;
    void (*apply)(const Args&, Form&);
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

void checkArity(const Site& site, std::string_view keyword, std::size_t want, std::size_t got) {
    if (want != got) {
        std::string message(1, '\'');
        message += keyword;
        message += "' takes " + std::to_string(want) + (want == 1 ? " value" : " values") +
                   ", not " + std::to_string(got);
        site.fail(message);
    }
}

std::string checkName(const Site& site, const std::string& raw) {
    bool good =
        !raw.empty() && raw.size() <= kMaxNameBytes && !isDigit(static_cast<unsigned char>(raw[0]));
    for (std::size_t i = 0; good && i < raw.size(); ++i) {
        good = isNameByte(static_cast<unsigned char>(raw[i]));
    }
    if (!good) {
        site.fail(show(raw) + " is not a name: letters, digits and '_', at most 40, " +
                  "not beginning with a digit");
    }
    return fromCp1251(raw);
}

Kind checkKind(const Site& site, const std::string& word) {
    for (std::size_t i = 0; i < kKindNames.size(); ++i) {
        if (word == kKindNames[i]) {
            return static_cast<Kind>(i);
        }
    }
    site.fail("unknown control kind " + show(word));
}

class Parser {
  public:
    Parser(std::string_view bytes, const std::string& file) : bytes_(bytes), file_(file) {}

    Form run() {
        checkWhole();
        std::size_t pos = 0;
        while (pos < bytes_.size()) {
            const std::size_t newline = std::min(bytes_.find('\n', pos), bytes_.size());
            ++line_;
            readLine(bytes_.substr(pos, newline - pos));
            pos = newline + 1;
        }
        if (block_ != Block::None) {
            Site{file_, blockLine_}.fail("no 'end' for the " + blockTitle());
        }
        if (!haveForm_) {
            here().fail("no form in the file");
        }
        return std::move(form_);
    }

  private:
    enum class Block { None, Form, Control };

    Site here() const { return Site{file_, line_ == 0 ? 1 : line_}; }

    void checkWhole() const {
        if (bytes_.starts_with("\xEF\xBB\xBF")) {
            here().fail(
                "the file is UTF-8 (it begins with a byte-order mark); "
                "layouts are stored in code page 1251");
        }
        if (bytes_.size() > kMaxFileBytes) {
            here().fail("the file is larger than 1 MiB; a layout is a few kilobytes");
        }
    }

    void readLine(std::string_view text) {
        const Site site = here();
        const std::vector<Token> tokens = Tokenizer(site, text).run();
        if (tokens.empty()) {
            return;
        }
        if (tokens[0].quoted) {
            site.fail("a line begins with a keyword, not the text \"" + show(tokens[0].value) +
                      "\"");
        }
        const std::string& keyword = tokens[0].value;
        const Args args(site, std::span(tokens).subspan(1));
        if (block_ == Block::None) {
            topLevel(keyword, args);
        } else if (keyword == "end") {
            checkArity(site, keyword, 0, args.size());
            closeBlock();
        } else if (keyword == "form" || keyword == "control") {
            site.fail("'" + keyword + "' inside the " + blockTitle() + " begun on line " +
                      std::to_string(blockLine_) + ": its 'end' is missing");
        } else if (block_ == Block::Form) {
            formProperty(keyword, args);
        } else {
            controlProperty(keyword, args);
        }
    }

    void topLevel(const std::string& keyword, const Args& args) {
        if (keyword == "form") {
            openForm(args);
        } else if (keyword == "control") {
            openControl(args);
        } else if (keyword == "end") {
            args.site().fail("'end' without a form or control to end");
        } else {
            args.site().fail("unknown keyword " + show(keyword));
        }
    }

    void openForm(const Args& args) {
        if (haveForm_) {
            args.site().fail("a second form: the file holds one form");
        }
        checkArity(args.site(), "form", 1, args.size());
        form_.name = checkName(args.site(), args.word(0));
        haveForm_ = true;
        openBlock(Block::Form);
    }

    void openControl(const Args& args) {
        const Site& site = args.site();
        if (!haveForm_) {
            site.fail("a control before the form: the form comes first");
        }
        if (args.size() < 2 || args.size() > 3) {
            site.fail("'control' takes a kind, a name and an optional index, not " +
                      std::to_string(args.size()) + " values");
        }
        Control control;
        control.kind = checkKind(site, args.word(0));
        control.name = checkName(site, args.word(1));
        control.index = args.size() == 3 ? args.integer(2, 0, 32767) : -1;
        control.sourceLine = line_;
        if (control.kind == Kind::CommandButton) {
            control.alignment = Alignment::Centre;
        }
        checkUnique(site, control);
        current_ = std::move(control);
        openBlock(Block::Control);
    }

    // One name is one control, or one control array of a single kind.
    void checkUnique(const Site& site, const Control& control) {
        const bool array = control.index >= 0;
        const auto [name, freshName] = names_.try_emplace(control.name, control.kind, array, line_);
        const auto& [firstKind, firstArray, firstLine] = name->second;
        if (!freshName && (firstKind != control.kind || firstArray != array || !array)) {
            site.fail("control '" + control.name + "' is already defined (line " +
                      std::to_string(firstLine) + ")");
        }
        const auto [element, freshElement] =
            elements_.try_emplace({control.name, control.index}, line_);
        if (!freshElement) {
            site.fail("element " + std::to_string(control.index) + " of '" + control.name +
                      "' is already defined (line " + std::to_string(element->second) + ")");
        }
    }

    void openBlock(Block block) {
        block_ = block;
        blockLine_ = line_;
        given_.clear();
    }

    void formProperty(const std::string& keyword, const Args& args) {
        for (const FormProperty& property : kFormProperties) {
            if (property.keyword == keyword) {
                noteGiven(args.site(), property.keyword);
                checkArity(args.site(), keyword, property.arity, args.size());
                property.apply(args, form_);
                return;
            }
        }
        args.site().fail("unknown form setting " + show(keyword));
    }

    void controlProperty(const std::string& keyword, const Args& args) {
        for (const ControlProperty& property : kControlProperties) {
            if (property.keyword == keyword) {
                if ((property.kinds & bit(current_.kind)) == 0) {
                    args.site().fail("'" + keyword + "' does not apply to a " +
                                     std::string(kindName(current_.kind)));
                }
                noteGiven(args.site(), property.keyword);
                checkArity(args.site(), keyword, property.arity, args.size());
                property.apply(args, current_);
                return;
            }
        }
        args.site().fail("unknown property " + show(keyword));
    }

    void noteGiven(const Site& site, std::string_view keyword) {
        if (const int line = givenLine(keyword); line != 0) {
            site.fail("'" + std::string(keyword) + "' given twice (first on line " +
                      std::to_string(line) + ")");
        }
        given_.emplace_back(keyword, line_);
    }

    int givenLine(std::string_view keyword) const {
        for (const auto& [given, line] : given_) {
            if (given == keyword) {
                return line;
            }
        }
        return 0;
    }

    void closeBlock() {
        if (block_ == Block::Form) {
            requireForm();
        } else {
            requireControl();
            checkTabIndex();
            form_.controls.push_back(std::move(current_));
        }
        block_ = Block::None;
    }

    void requireForm() const {
        if (givenLine("client") == 0) {
            Site{file_, blockLine_}.fail("the form '" + form_.name + "' has no 'client' size");
        }
    }

    void requireControl() const {
        for (const auto& [keyword, kinds] : kRequired) {
            if ((kinds & bit(current_.kind)) != 0 && givenLine(keyword) == 0) {
                Site{file_, blockLine_}.fail("the " + blockTitle() + " has no '" +
                                             std::string(keyword) + "'");
            }
        }
    }

    void checkTabIndex() {
        if (current_.tabIndex < 0) {
            return;
        }
        const auto [it, fresh] = tabIndexes_.try_emplace(current_.tabIndex, current_.name);
        if (!fresh) {
            Site{file_, givenLine("tabindex")}.fail("tab index " +
                                                    std::to_string(current_.tabIndex) +
                                                    " is already taken by '" + it->second + "'");
        }
    }

    std::string blockTitle() const {
        if (block_ == Block::Form) {
            return "form '" + form_.name + "'";
        }
        return std::string(kindName(current_.kind)) + " '" + current_.name + "'";
    }

    std::string_view bytes_;
    const std::string& file_;
    int line_ = 0;
    Form form_;
    bool haveForm_ = false;
    Block block_ = Block::None;
    int blockLine_ = 0;
    Control current_;
    std::vector<std::pair<std::string_view, int>> given_;       // keyword, line, in this block
    std::map<std::string, std::tuple<Kind, bool, int>> names_;  // kind, array, first line
    std::map<std::pair<std::string, int>, int> elements_;       // first line
    std::map<int, std::string> tabIndexes_;
};

}  // namespace

std::string_view kindName(Kind kind) {
    const auto i = static_cast<std::size_t>(kind);
    return i < kKindNames.size() ? kKindNames[i] : "control";
}

std::string fromCp1251(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        appendUtf8(out, codePoint(static_cast<unsigned char>(c)));
    }
    return out;
}

Form parse(std::string_view bytes, const std::string& fileName) {
    return Parser(bytes, fileName).run();
}

}  // namespace layout
