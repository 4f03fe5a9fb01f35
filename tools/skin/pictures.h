#pragma once

#include <string>
#include <vector>

#include "encode.h"
#include "image.h"

namespace skin {

Image draw_background();
Image draw_strip();
Image draw_minimise();           // grey arrow, black outline, light grey ground
Image draw_minimise_disabled();  // the arrow's shape, black on white
Image draw_close();              // rough red X on light grey
Image draw_close_pressed();      // sunken white square with a small red X
std::vector<IconImage> draw_icon();

Palette rainbow_palette();

struct SkinFile {
    std::string name;
    Bytes bytes;
};

// Every picture of the window, encoded as it is stored.
std::vector<SkinFile> render_skin();

}  // namespace skin
