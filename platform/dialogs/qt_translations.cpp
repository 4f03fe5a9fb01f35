#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace dialogs {

void loadQtTranslations(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    // Tries each of the locale's interface languages in the user's order, then a catalogue
    // without a language, which Qt does not install.
    if (translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

}  // namespace dialogs
