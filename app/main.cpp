#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <iostream>
#include <string>

#include "appearance.h"
#include "display_check.h"
#include "form14.h"
#include "open_file_dialog.h"
#include "qt_translations.h"
#include "sdl_player.h"

namespace {

// Qt's own event dispatcher costs less per wake-up than GLib's, and a running stopwatch wakes a
// hundred times a second. GTK's file dialog needs GLib's, so keep GLib's where Qt will use the GTK
// theme: when asked to, or on a desktop other than KDE's and LXQt's with the theme installed.
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
    if (const std::string problem = user32::displayProblem(); !problem.empty()) {
        std::cerr << "alarm-clock: " << problem << '\n';
        return 1;
    }
    preferLeanEventLoop();
    QApplication application(argc, argv);
    forms::registerFontSubstitutes();
    dialogs::loadQtTranslations(application);
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
