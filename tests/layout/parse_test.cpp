// The reader on its own: code page 1251, the format's details, and what it does with bad input.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "harness/table.h"
#include "layout.h"
#include "layout_file.h"

namespace {

using namespace std::literals;
using layout::Alignment;
using layout::Control;
using layout::Form;
using layout::Kind;
using layout::LayoutError;

TEST(FromCp1251, DecodesEachRangeOfTheCodePage) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        {"A~", "A~"},         {"\x80"sv, "Ђ"},      {"\x88"sv, "€"},
        {"\x98"sv, "\uFFFD"}, {"\xA0"sv, "\u00A0"}, {"\xA8"sv, "Ё"},
        {"\xB8"sv, "ё"},      {"\xB9"sv, "№"},      {"\xBF"sv, "ї"},
        {"\xC0"sv, "А"},      {"\xDF"sv, "Я"},      {"\xE0"sv, "а"},
        {"\xFF"sv, "я"},      {"\0"sv, "\0"sv},     {"\xCF\xEB\xE5\xE5\xF0"sv, "Плеер"},
    };
    for (const auto& [bytes, utf8] : rows) {
        EXPECT_EQ(layout::fromCp1251(bytes), utf8);
    }
}

// A slip in the table shows as two bytes with one character.
TEST(FromCp1251, EveryAssignedByteIsItsOwnCharacter) {
    std::set<std::string> seen;
    for (int b = 0; b < 256; ++b) {
        const std::string decoded = layout::fromCp1251(std::string(1, static_cast<char>(b)));
        if (b != 0x98) {
            EXPECT_NE(decoded, "\uFFFD") << "byte " << b;
            EXPECT_TRUE(seen.insert(decoded).second) << "byte " << b << " decodes as another";
        }
    }
}

constexpr std::string_view kSample =
    "# sample\r\n"
    "form F   # comment after a value\r\n"
    "\tclient 100 200\r\n"
    "\tcaption \"say \\\"hi\\\" \\\\ #1\"\r\n"
    "end\r\n"
    "control Image \xEF\xEE\xEB\xEE\xF1\xE0 0\n"  // полоса, a control array
    "  rect -5 0 10 10\n"
    "end\n"
    "control Image \xEF\xEE\xEB\xEE\xF1\xE0 1\n"
    "  rect 0 0 1 1\n"
    "end\n"
    "control CommandButton B\n"
    "  rect 0 0 1 1\n"
    "end\n"
    "control Shape S\n"
    "  rect 0 0 1 1\n"
    "  border 0x80000012 2\n"
    "  fill transparent\n"
    "end\n"
    "control Label L\n"
    "  rect 0 0 1 1\n"
    "  caption \"\xCC\xE5\xF2\xEA\xE0 # \xB9\"\n"  // Метка # №
    "end\n";

TEST(Parse, ReadsCommentsCrlfTabsAndEscapes) {
    const Form form = layout::parse(kSample, "sample.layout");
    EXPECT_EQ(form.name, "F");
    EXPECT_EQ(form.clientWidth, 100);
    EXPECT_EQ(form.clientHeight, 200);
    EXPECT_EQ(form.caption, R"(say "hi" \ #1)");
    EXPECT_EQ(form.find("L")->text, "Метка # №");
}

TEST(Parse, KeepsFileOrderAndSourceLines) {
    const Form form = layout::parse(kSample, "sample.layout");
    std::vector<std::pair<std::string, int>> order;
    for (const Control& c : form.controls) {
        order.emplace_back(c.name + "/" + std::to_string(c.index), c.sourceLine);
    }
    const std::vector<std::pair<std::string, int>> expected = {
        {"полоса/0", 6}, {"полоса/1", 9}, {"B/-1", 12}, {"S/-1", 15}, {"L/-1", 20}};
    EXPECT_EQ(order, expected);
}

TEST(Parse, FindGivesTheFirstOfANameOrNull) {
    const Form form = layout::parse(kSample, "sample.layout");
    ASSERT_NE(form.find("полоса"), nullptr);
    EXPECT_EQ(form.find("полоса")->index, 0);
    EXPECT_EQ(form.find("полоса")->rect.left, -5);
    EXPECT_EQ(form.find("Полоса"), nullptr);
    EXPECT_EQ(form.find(""), nullptr);
}

TEST(Parse, DefaultsForValuesNotStored) {
    const Form form = layout::parse(kSample, "sample.layout");
    EXPECT_TRUE(form.border);
    EXPECT_TRUE(form.showInTaskbar);
    const Control& button = *form.find("B");
    EXPECT_EQ(button.alignment, Alignment::Centre);
    EXPECT_FALSE(button.font.has_value());
    EXPECT_FALSE(button.backColour.has_value());
    EXPECT_TRUE(button.visible);
    EXPECT_FALSE(button.tabStop);
    EXPECT_EQ(button.tabIndex, -1);
    const Control& shape = *form.find("S");
    EXPECT_FALSE(shape.fillColour.has_value());
    ASSERT_TRUE(shape.borderColour.has_value());
    EXPECT_TRUE(shape.borderColour->isSystem());
    EXPECT_EQ(shape.borderColour->systemIndex(), 18);
    EXPECT_EQ(form.find("L")->alignment, Alignment::Left);
}

struct BadLayout {
    const char* name;
    std::string_view text;
    int line;
    std::string_view says;
};

void PrintTo(const BadLayout& row, std::ostream* out) {
    *out << row.name;
}

#define FORM "form F\n  client 10 10\nend\n"
#define TIMER(name) "control Timer " name "\n  interval 1\nend\n"
#define BUTTON(name, tab) \
    "control CommandButton " name "\n  rect 0 0 1 1\n  tabindex " tab "\nend\n"

constexpr BadLayout kBad[] = {
    // The file as a whole.
    {"EmptyFile", ""sv, 1, "no form in the file"},
    {"OnlyComments", "# a\n\n   # b\n"sv, 3, "no form in the file"},
    {"ByteOrderMark", "\xEF\xBB\xBF" FORM ""sv, 1, "UTF-8"},
    {"ControlBeforeForm", "control Timer T\n" FORM ""sv, 1, "before the form"},
    {"SecondForm", FORM "form G\n  client 1 1\nend\n"sv, 4, "a second form"},
    {"UnknownKeyword", FORM "widget W\n"sv, 4, "unknown keyword 'widget'"},
    {"UnknownCyrillicKeyword", FORM "\xEA\xEB\xFE\xF7 W\n"sv, 4, "unknown keyword 'ключ'"},
    {"KeywordAsText", FORM "\"control\" Timer T\n"sv, 4, "begins with a keyword"},
    {"CrlfLinesAreCounted", "form F\r\n client 1 1\r\nend\r\ncontrol Gadget G\r\n"sv, 4,
     "unknown control kind 'Gadget'"},

    // Blocks and their ends.
    {"FormWithoutName", "form\n"sv, 1, "'form' takes 1 value, not 0"},
    {"FormWithoutClient", "form F\n  caption \"x\"\nend\n"sv, 1, "no 'client'"},
    {"FormWithoutEnd", "form F\n  client 1 1\n"sv, 1, "no 'end' for the form 'F'"},
    {"ControlWithoutEnd", FORM "control Timer T\n  interval 1\n"sv, 4,
     "no 'end' for the Timer 'T'"},
    {"ControlInsideControl", FORM "control Timer T\n  interval 1\n" TIMER("U") ""sv, 6,
     "its 'end' is missing"},
    {"EndWithoutBlock", FORM "end\n"sv, 4, "'end' without a form or control"},
    {"EndWithValue", FORM "control Timer T\n  interval 1\nend T\n"sv, 6,
     "'end' takes 0 values, not 1"},

    // Control headers and names.
    {"UnknownKind", FORM "control Gadget G\nend\n"sv, 4, "unknown control kind 'Gadget'"},
    {"ControlWithoutName", FORM "control Timer\n"sv, 4, "takes a kind, a name"},
    {"ControlWithTwoIndexes", FORM "control Image I 0 1\n"sv, 4, "takes a kind, a name"},
    {"IndexNotANumber", FORM "control Image I x\n"sv, 4, "'x' is not a whole number"},
    {"NegativeIndex", FORM "control Image I -1\n"sv, 4, "out of range 0 to 32767"},
    {"NameBeginsWithDigit", FORM "control Timer 1T\n"sv, 4, "'1T' is not a name"},
    {"NameWithDash", FORM "control Timer T-1\n"sv, 4, "'T-1' is not a name"},
    {"NameWithNul", FORM "control Timer T\0x\n"sv, 4, "'T?x' is not a name"},
    {"NameTooLong", FORM "control Timer T12345678901234567890123456789012345678901\n"sv, 4,
     "is not a name"},
    {"SameNameTwice", FORM TIMER("T") TIMER("T") ""sv, 7,
     "control 'T' is already defined (line 4)"},
    {"ArrayAndSingleOfOneName", FORM "control Image I 0\n  rect 0 0 1 1\nend\ncontrol Image I\n"sv,
     7, "control 'I' is already defined (line 4)"},
    {"SameElementTwice", FORM "control Image I 0\n  rect 0 0 1 1\nend\ncontrol Image I 0\n"sv, 7,
     "element 0 of 'I' is already defined (line 4)"},
    {"SameTabIndexTwice", FORM BUTTON("A", "1") BUTTON("B", "1") ""sv, 10,
     "tab index 1 is already taken by 'A'"},

    // Properties.
    {"UnknownFormSetting", "form F\n  rect 0 0 1 1\n"sv, 2, "unknown form setting 'rect'"},
    {"UnknownProperty", FORM "control Timer T\n  colour 1\n"sv, 5, "unknown property 'colour'"},
    {"IntervalOnShape", FORM "control Shape S\n  interval 5\n"sv, 5,
     "'interval' does not apply to a Shape"},
    {"ReadOnlyOnLabel", FORM "control Label L\n  readonly yes\n"sv, 5,
     "'readonly' does not apply to a Label"},
    {"RectOnTimer", FORM "control Timer T\n  rect 0 0 1 1\n"sv, 5,
     "'rect' does not apply to a Timer"},
    {"PropertyTwice", FORM "control Timer T\n  interval 1\n  interval 2\n"sv, 6,
     "'interval' given twice (first on line 5)"},
    {"TooFewValues", FORM "control Label L\n  rect 1 2 3\n"sv, 5, "'rect' takes 4 values, not 3"},
    {"TooManyValues", FORM "control Label L\n  rect 1 2 3 4 5\n"sv, 5,
     "'rect' takes 4 values, not 5"},
    {"LabelWithoutRect", FORM "control Label L\nend\n"sv, 4, "the Label 'L' has no 'rect'"},
    {"ShapeWithoutFill", FORM "control Shape S\n  rect 0 0 1 1\n  border 0x00000000 1\nend\n"sv, 4,
     "the Shape 'S' has no 'fill'"},
    {"LineWithoutEnds", FORM "control Line L\n  border 0x00000000 1\nend\n"sv, 4,
     "the Line 'L' has no 'ends'"},
    {"TimerWithoutInterval", FORM "control Timer T\n  enabled yes\nend\n"sv, 4,
     "the Timer 'T' has no 'interval'"},

    // Numbers and words.
    {"NumberWithTail", FORM "control Label L\n  rect 1 2 3 4x\n"sv, 5,
     "'4x' is not a whole number"},
    {"NumberWithPlus", FORM "control Timer T\n  interval +5\n"sv, 5, "'+5' is not a whole number"},
    {"NumberOverflow", FORM "control Timer T\n  interval 99999999999999999999\n"sv, 5,
     "too large a number"},
    {"NegativeWidth", FORM "control Label L\n  rect 0 0 -5 1\n"sv, 5, "out of range 0 to 1000000"},
    {"IntervalOutOfRange", FORM "control Timer T\n  interval 65536\n"sv, 5,
     "out of range 0 to 65535"},
    {"ColourTooShort", FORM "control Label L\n  back 0xFFF\n"sv, 5, "'0xFFF' is not a colour"},
    {"ColourByName", FORM "control Label L\n  back red\n"sv, 5, "'red' is not a colour"},
    {"ColourNotHex", FORM "control Label L\n  back 0x00FFFFGG\n"sv, 5, "is not a colour"},
    {"ColourTopByte", FORM "control Label L\n  back 0x12000000\n"sv, 5,
     "neither 0x00BBGGRR nor a system colour"},
    {"SystemColourMiddleBytes", FORM "control Label L\n  back 0x80001200\n"sv, 5,
     "neither 0x00BBGGRR nor a system colour"},
    {"YesNoMisspelt", FORM "control TextBox T\n  readonly true\n"sv, 5,
     "expected yes or no, not 'true'"},
    {"AlignmentMisspelt", FORM "control Label L\n  align center\n"sv, 5,
     "left, right or centre, not 'center'"},
    {"FontStyleBold", FORM "control Label L\n  font \"A\" 9 400 bold 204\n"sv, 5,
     "italic or upright, not 'bold'"},
    {"FontSizeZero", FORM "control Label L\n  font \"A\" 0 400 italic 204\n"sv, 5,
     "font size '0' is out of range"},
    {"FontSizeNan", FORM "control Label L\n  font \"A\" nan 400 italic 204\n"sv, 5,
     "font size 'nan' is out of range"},
    {"FontSizeTwoPoints", FORM "control Label L\n  font \"A\" 9.7.5 400 italic 204\n"sv, 5,
     "'9.7.5' is not a font size"},
    {"FontSizeExponent", FORM "control Label L\n  font \"A\" 9e1 400 italic 204\n"sv, 5,
     "'9e1' is not a font size"},
    {"FontWithoutFace", FORM "control Label L\n  font \"\" 9 400 italic 204\n"sv, 5,
     "a font needs a face name"},
    {"FontCharsetTooLarge", FORM "control Label L\n  font \"A\" 9 400 italic 256\n"sv, 5,
     "out of range 0 to 255"},

    // Texts.
    {"TextNotClosed", FORM "control Label L\n  caption \"abc\n"sv, 5, "without its closing quote"},
    {"TextEndsInBackslash", FORM "control Label L\n  caption \"abc\\\n"sv, 5,
     "without its closing quote"},
    {"UnknownEscape", FORM "control Label L\n  caption \"a\\nb\"\n"sv, 5, "unknown escape '\\n'"},
    {"TextGluedToWord", FORM "control Label L\n  caption \"a\"b\n"sv, 5,
     "must be followed by a space"},
    {"QuoteInsideWord", FORM "control Label L\n  caption a\"b\"\n"sv, 5,
     "a quote inside the word 'a'"},
    {"WordForText", FORM "control Label L\n  caption abc\n"sv, 5,
     "'abc' must be a text in double quotes"},
    {"TextForNumber", FORM "control Timer T\n  interval \"5\"\n"sv, 5, "expected a plain value"},
    {"ControlCharacterInText", FORM "control Label L\n  caption \"a\x01z\"\n"sv, 5,
     "control character 1 in a text"},
    {"UnassignedByteInText", FORM "control Label L\n  caption \"\xC0\x98\"\n"sv, 5,
     "byte 0x98 in a text"},
    {"AbsolutePicture", FORM "control Image I\n  picture \"/etc/a.bmp\"\n"sv, 5,
     "must name a file beside the layout"},
    {"DrivePicture", FORM "control Image I\n  picture \"C:a.bmp\"\n"sv, 5,
     "must name a file beside the layout"},
    {"PictureOutOfFolder", FORM "control Image I\n  picture \"skin\\\\..\\\\a.bmp\"\n"sv, 5,
     "must name a file beside the layout"},
    {"EmptyPicture", "form F\n  icon \"\"\n"sv, 2, "must name a file beside the layout"},
};

#undef FORM
#undef TIMER
#undef BUTTON

class MalformedLayout : public ::testing::TestWithParam<BadLayout> {};

TEST_P(MalformedLayout, IsRejectedAtItsLine) {
    const BadLayout& row = GetParam();
    try {
        layout::parse(row.text, "bad.layout");
        FAIL() << "parsed without an error";
    } catch (const LayoutError& e) {
        EXPECT_EQ(e.file(), "bad.layout");
        EXPECT_EQ(e.line(), row.line) << e.what();
        const std::string what = e.what();
        EXPECT_TRUE(what.starts_with("bad.layout:" + std::to_string(row.line) + ": ")) << what;
        EXPECT_NE(what.find(row.says), std::string::npos) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, MalformedLayout, ::testing::ValuesIn(kBad), harness::rowName);

TEST(Parse, RejectsAFileFarLargerThanALayout) {
    std::string huge = "form F\n  client 1 1\nend\n";
    huge.resize(2 << 20, '\n');
    EXPECT_THROW(layout::parse(huge, "huge.layout"), LayoutError);
}

// Each cut and each damaged byte of a real layout ends as a form or a LayoutError, never as
// a crash or another exception.
bool parses(std::string_view bytes) {
    try {
        layout::parse(bytes, "damaged.layout");
        return true;
    } catch (const LayoutError&) {
        return false;
    }
}

TEST(Parse, SurvivesEveryCutOfTheRealLayout) {
    const std::string bytes = readLayoutFile();
    const Form whole = layout::parse(bytes, "Form14.layout");
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::optional<Form> cut;
        try {
            cut = layout::parse(std::string_view(bytes).substr(0, n), "cut.layout");
        } catch (const LayoutError&) {
            continue;
        }
        // A cut that still reads holds only whole controls of the original.
        ASSERT_LE(cut->controls.size(), whole.controls.size()) << "cut at " << n;
        for (std::size_t i = 0; i < cut->controls.size(); ++i) {
            ASSERT_EQ(cut->controls[i].name, whole.controls[i].name) << "cut at " << n;
        }
    }
}

// Every byte is damaged once, with the damage cycling through the characters that matter to
// the reader.
TEST(Parse, SurvivesEveryDamagedByteOfTheRealLayout) {
    constexpr std::string_view damage = "\"\\\n\x98#-9 \0"sv;
    const std::string original = readLayoutFile();
    std::string bytes = original;
    int parsed = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = damage[i % damage.size()];
        parsed += parses(bytes);
        bytes[i] = original[i];
    }
    EXPECT_LT(parsed, std::ssize(bytes)) << "no damage was noticed at all";
}

}  // namespace
