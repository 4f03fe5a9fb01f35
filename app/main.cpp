#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <cstdlib>
#include <iostream>
#include <string>
#include <xcb/xcb.h>

#include "appearance.h"
#include "form14.h"
#include "open_file_dialog.h"
#include "sdl_player.h"

namespace {

// Qt aborts the process when it cannot reach the display; say so plainly and exit instead.
std::string displayProblem() {
    const auto named = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (named("QT_QPA_PLATFORM") || named("WAYLAND_DISPLAY")) {
        return "";
    }
    if (!named("DISPLAY")) {
        return "no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set)";
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    if (failed) {
        return std::string("cannot connect to the display ") + std::getenv("DISPLAY");
    }
    return "";
}

// Qt's own event dispatcher costs less per wake-up than GLib's, and a running stopwatch wakes a
// hundred times a second. GTK's file dialog needs GLib's, so keep GLib's where Qt will use the GTK theme:
// when asked to, or on a desktop other than KDE's and LXQt's with the theme installed.
bool gtkThemeLikely() {
    const QString asked = qEnvironmentVariable("QT_QPA_PLATFORMTHEME");
    if (!asked.isEmpty()) {
        return asked.contains(QStringLiteral("gtk"), Qt::CaseInsensitive);
    }
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower();
    const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                           QStringLiteral("/platformthemes/libqgtk3.so");
    return !desktop.isEmpty() && !desktop.contains(QStringLiteral("kde")) &&
           !desktop.contains(QStringLiteral("lxqt")) && QFileInfo::exists(plugin);
}

void preferLeanEventLoop() {
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB") && !gtkThemeLikely()) {
        qputenv("QT_NO_GLIB", "1");
    }
    // With shared-memory images Qt waits for the X server after every paint: a second wake-up
    // for each change of a dial. The window is small enough to send its pixels down the
    // connection.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::string problem = displayProblem(); !problem.empty()) {
        std::cerr << "alarm-clock: " << problem << '\n';
        return 1;
    }
    preferLeanEventLoop();
    QApplication application(argc, argv);
    forms::registerFontSubstitutes();
    forms::EventBoundary boundary(std::cerr);
    try {
        forms::Form form(QString::fromUtf8(Form14::layoutPath()), boundary);
        rt::SystemClock clock;
        const rt::DateTime dateTime(clock, rt::RegionalFormats::fromUserLocale());
        player::SdlPlayer player;
        dialogs::OpenFileDialog dialog(form.window());
        forms::SystemClockWake clockWake;
        Form14 window(form, {dateTime, player, dialog, clockWake});
        return forms::run(form, window);
    } catch (const layout::LayoutError& error) {
        std::cerr << "alarm-clock: " << error.what() << '\n';
        return 2;
    }
}
