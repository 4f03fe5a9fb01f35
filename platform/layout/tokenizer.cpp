// A word runs to the next space or '#'. A text is in double quotes, where \" and \\ stand for a
// quote and a backslash; it holds no control character and no byte that code page 1251 lacks.
#include "tokenizer.h"

#include <cstddef>
#include <utility>

#include "cp1251.h"

namespace layout::detail {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

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
        if (isControlByte(b)) {
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

}  // namespace

std::vector<Token> tokenize(const Site& site, std::string_view line) {
    return Tokenizer(site, line).run();
}

}  // namespace layout::detail
