#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

#include "layout.h"

// How stored layout values look on screen: twips to pixels, colours, fonts.
namespace forms {

inline constexpr int kTwipsPerPixel = 15;

int pixels(int twips);
QRect pixelRect(const layout::Rect& rect);

// A fixed colour, or a system colour resolved from the application's palette.
QColor colour(const layout::Colour& colour);
QColor colour(const std::optional<layout::Colour>& stored, QColor fallback);

// The stored face at its size in points, 96 dots per inch (a point is 4/3 pixel), so that the
// face looks the same whatever DPI the display reports; the screen's device pixel ratio scales
// it with the geometry. No stored font: the application's default font, its size likewise.
QFont font(const std::optional<layout::Font>& stored);

// Makes the stored face names find faces that the set-up installs.
void registerFontSubstitutes();

}  // namespace forms
