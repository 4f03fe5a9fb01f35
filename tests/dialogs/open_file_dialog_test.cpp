// The open-file dialog's own texts in the user's session. Each session runs as a process of its
// own, with its locale set in the environment (see CMakeLists.txt).
#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <string>

#include "harness/locales.h"
#include "open_file_dialog.h"
#include "qt_translations.h"

namespace {

struct Texts {
    std::string title, open, cancel, fileName;
};

std::string text(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text().toStdString();
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text().toStdString();
    }
    return "(missing)";
}

// Shows the dialog as the clock window does, reads its texts and cancels it.
Texts shownTexts() {
    QWidget owner;
    dialogs::OpenFileDialog dialog(owner);
    Texts texts;
    QTimer::singleShot(0, &owner, [&owner, &texts] {
        auto* shown = owner.findChild<QFileDialog*>();
        ASSERT_NE(shown, nullptr);
        const auto* buttons = shown->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        texts = {shown->windowTitle().toStdString(), text(buttons->button(QDialogButtonBox::Open)),
                 text(buttons->button(QDialogButtonBox::Cancel)),
                 text(shown->findChild<QLabel*>(QStringLiteral("fileNameLabel")))};
        shown->reject();
    });
    dialog.showOpen();
    return texts;
}

TEST(RussianSession, DialogTitleAndButtonsReadInRussian) {
    if (!harness::localeInstalled("ru_RU.UTF-8")) {
        GTEST_SKIP() << "the ru_RU.UTF-8 locale is not installed (script/setup generates it)";
    }
    if (QLocale::system().language() != QLocale::Russian) {
        GTEST_SKIP() << "not a Russian session: run it with LANG=ru_RU.UTF-8, as ctest does";
    }
    dialogs::loadQtTranslations(*qApp);
    const Texts texts = shownTexts();
    EXPECT_EQ(texts.title, "Открыть");
    EXPECT_EQ(texts.open, "&Открыть");
    EXPECT_EQ(texts.cancel, "Отмена");
    EXPECT_EQ(texts.fileName, "&Имя файла:");
}

// No language has a translation in the C locale: Qt's own texts stay, and nothing is said.
TEST(UntranslatedSession, DialogKeepsQtsTextsAndNothingIsPrinted) {
    if (QLocale::system().name() != QStringLiteral("C")) {
        GTEST_SKIP() << "not a C session: run it with LANG=C.UTF-8, as ctest does";
    }
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    dialogs::loadQtTranslations(*qApp);
    const std::string said =
        testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "");
    const Texts texts = shownTexts();
    EXPECT_EQ(texts.title, "Open");
    EXPECT_EQ(texts.open, "&Open");
    EXPECT_EQ(texts.cancel, "Cancel");
    EXPECT_EQ(texts.fileName, "File &name:");
}

}  // namespace
