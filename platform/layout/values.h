#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "errors.h"
#include "layout.h"
#include "tokenizer.h"

namespace layout::detail {

constexpr int kMaxCoordinate = 1'000'000;  // twips, far beyond any screen

// The values after a keyword, read as the keyword needs them. Numbers go through from_chars
// with range checks, so that no value of any bytes ends otherwise than read or as a LayoutError.
class Args {
  public:
    Args(const Site& site, std::span<const Token> tokens) : site_(site), tokens_(tokens) {}

    std::size_t size() const { return tokens_.size(); }
    const Site& site() const { return site_; }

    const std::string& word(std::size_t i) const;
    std::string text(std::size_t i) const;
    std::string name(std::size_t i) const;
    int integer(std::size_t i, int lo, int hi) const;
    int coordinate(std::size_t i) const { return integer(i, -kMaxCoordinate, kMaxCoordinate); }
    int extent(std::size_t i) const { return integer(i, 0, kMaxCoordinate); }
    bool yesNo(std::size_t i) const;
    Colour colour(std::size_t i) const;
    std::string picture(std::size_t i) const;
    Font font() const;  // all five values: face, points, weight, style, charset
    Alignment alignment(std::size_t i) const;

  private:
    double points(std::size_t i) const;

    const Site& site_;
    std::span<const Token> tokens_;
};

}  // namespace layout::detail
