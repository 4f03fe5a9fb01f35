#include "colours.h"
#include "pictures.h"

namespace skin {

std::vector<SkinFile> render_skin() {
    const Bytes minimise = encode_bmp({draw_minimise(), 4, colour::kSystem16});
    const Bytes pressed = encode_bmp({draw_close_pressed(), 8, colour::kSystem16});
    return {
        {"background.bmp", encode_bmp({draw_background(), 24, {}})},
        {"strip.bmp", encode_bmp({draw_strip(), 8, rainbow_palette()})},
        {"command3.bmp", minimise},
        {"command3_down.bmp", minimise},
        {"command3_disabled.bmp", encode_bmp({draw_minimise_disabled(), 1, colour::kMono})},
        {"command4.bmp", encode_bmp({draw_close(), 4, colour::kSystem16})},
        {"command4_down.bmp", pressed},
        {"command4_disabled.bmp", pressed},
        {"form14.ico", encode_ico(draw_icon())},
    };
}

}  // namespace skin
