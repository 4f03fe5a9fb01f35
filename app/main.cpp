#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "appearance.h"
#include "form14.h"
#include "open_file_dialog.h"
#include "sdl_player.h"

namespace {

bool displayNamed() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!displayNamed()) {
        std::cerr << "alarm-clock: no display to show the window on (DISPLAY and "
                     "WAYLAND_DISPLAY are not set)\n";
        return 1;
    }
    QApplication application(argc, argv);
    forms::registerFontSubstitutes();
    forms::EventBoundary boundary(std::cerr);
    try {
        forms::Form form(QString::fromUtf8(Form14::layoutPath()), boundary);
        rt::SystemClock clock;
        const rt::DateTime dateTime(clock, rt::RegionalFormats::fromUserLocale());
        player::SdlPlayer player;
        dialogs::OpenFileDialog dialog(form.window());
        Form14 window(form, {dateTime, player, dialog});
        return forms::run(form, window);
    } catch (const layout::LayoutError& error) {
        std::cerr << "alarm-clock: " << error.what() << '\n';
        return 2;
    }
}
