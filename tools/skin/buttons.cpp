#include "colours.h"
#include "pictures.h"
#include "random.h"

namespace skin {
namespace {

constexpr int kArrowWidth = 16;
constexpr int kArrowHeight = 15;

// A shaft above a head that narrows by one pixel a side per row.
bool in_arrow(int x, int y) {
    const bool shaft = y >= 1 && y <= 6 && x >= 5 && x <= 10;
    const int row = y - 7;
    const bool head = row >= 0 && row <= 6 && x >= 1 + row && x <= 14 - row;
    return shaft || head;
}

bool on_arrow_edge(int x, int y) {
    return !in_arrow(x - 1, y) || !in_arrow(x + 1, y) || !in_arrow(x, y - 1) || !in_arrow(x, y + 1);
}

// Two pixels from `first`, each side grown by one now and then, so the stroke looks hand drawn.
void draw_rough_stroke_row(Image& image, SplitMix64& rng, int first, int y) {
    const int left = rng.between(0, 1);
    const int right = rng.between(0, 1);
    for (int x = first - left; x <= first + 1 + right; ++x) {
        image.set(x, y, colour::kRed);
    }
}

// Strokes two pixels wide, `size` rows tall, starting at (left, top).
void draw_small_x(Image& image, int left, int top, int size) {
    for (int t = 0; t < size; ++t) {
        image.set(left + t, top + t, colour::kRed);
        image.set(left + t + 1, top + t, colour::kRed);
        image.set(left + size - t, top + t, colour::kRed);
        image.set(left + size - t - 1, top + t, colour::kRed);
    }
}

}  // namespace

Image draw_minimise() {
    Image image(kArrowWidth, kArrowHeight, colour::kLightGrey);
    for (int y = 0; y < kArrowHeight; ++y) {
        for (int x = 0; x < kArrowWidth; ++x) {
            if (in_arrow(x, y)) {
                image.set(x, y, on_arrow_edge(x, y) ? colour::kBlack : colour::kGrey);
            }
        }
    }
    return image;
}

Image draw_minimise_disabled() {
    Image image(kArrowWidth, kArrowHeight, colour::kWhite);
    for (int y = 0; y < kArrowHeight; ++y) {
        for (int x = 0; x < kArrowWidth; ++x) {
            if (in_arrow(x, y)) {
                image.set(x, y, colour::kBlack);
            }
        }
    }
    return image;
}

Image draw_close() {
    Image image(16, 16, colour::kLightGrey);
    SplitMix64 rng(4);
    for (int y = 2; y <= 13; ++y) {
        draw_rough_stroke_row(image, rng, y - 1, y);
        draw_rough_stroke_row(image, rng, 15 - y, y);
    }
    return image;
}

// Sunken: dark top and left, black bottom and right with a light line just inside.
Image draw_close_pressed() {
    const int w = 14;
    const int h = 16;
    Image image(w, h, colour::kWhite);
    for (int x = 0; x < w; ++x) {
        image.set(x, 0, colour::kGrey);
        image.set(x, h - 1, colour::kBlack);
    }
    for (int y = 0; y < h - 1; ++y) {
        image.set(0, y, colour::kGrey);
        image.set(w - 1, y, colour::kBlack);
    }
    for (int x = 1; x < w - 1; ++x) {
        image.set(x, h - 2, colour::kLightGrey);
    }
    for (int y = 1; y < h - 1; ++y) {
        image.set(w - 2, y, colour::kLightGrey);
    }
    draw_small_x(image, 3, 5, 5);
    return image;
}

}  // namespace skin
