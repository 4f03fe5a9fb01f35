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
// Every check exists so that any byte string ends as a Form or a LayoutError: the input is read
// line by line with explicit bounds, and nothing recurses.
#include "layout.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <span>
#include <tuple>
#include <utility>

#include "errors.h"
#include "keywords.h"
#include "tokenizer.h"
#include "values.h"

namespace layout {

const Control* Form::find(std::string_view name) const {
    for (const Control& control : controls) {
        if (control.name == name) {
            return &control;
        }
    }
    return nullptr;
}

namespace {

using detail::Args;
using detail::bit;
using detail::show;
using detail::Site;
using detail::Token;

// Layouts are a few kilobytes; the cap keeps line numbers and allocations small on junk input.
constexpr std::size_t kMaxFileBytes = 1 << 20;

void checkArity(const Site& site, std::string_view keyword, std::size_t want, std::size_t got) {
    if (want != got) {
        std::string message(1, '\'');
        message += keyword;
        message += "' takes " + std::to_string(want) + (want == 1 ? " value" : " values") +
                   ", not " + std::to_string(got);
        site.fail(message);
    }
}

Kind checkKind(const Site& site, const std::string& word) {
    if (const std::optional<Kind> kind = detail::kindNamed(word)) {
        return *kind;
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
        const std::vector<Token> tokens = detail::tokenize(site, text);
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
        form_.name = args.name(0);
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
        control.name = args.name(1);
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
        const detail::FormProperty* property = detail::formProperty(keyword);
        if (property == nullptr) {
            args.site().fail("unknown form setting " + show(keyword));
        }
        noteGiven(args.site(), property->keyword);
        checkArity(args.site(), keyword, property->arity, args.size());
        property->apply(args, form_);
    }

    void controlProperty(const std::string& keyword, const Args& args) {
        const detail::ControlProperty* property = detail::controlProperty(keyword);
        if (property == nullptr) {
            args.site().fail("unknown property " + show(keyword));
        }
        if ((property->kinds & bit(current_.kind)) == 0) {
            args.site().fail("'" + keyword + "' does not apply to a " +
                             std::string(kindName(current_.kind)));
        }
        noteGiven(args.site(), property->keyword);
        checkArity(args.site(), keyword, property->arity, args.size());
        property->apply(args, current_);
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
        for (const auto& [keyword, kinds] : detail::requirements()) {
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

Form parse(std::string_view bytes, const std::string& fileName) {
    return Parser(bytes, fileName).run();
}

}  // namespace layout
