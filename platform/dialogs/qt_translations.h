#pragma once

class QCoreApplication;

namespace dialogs {

// Loads Qt's own translations of the texts of its dialogs (titles, buttons, labels, the
// context menus of text boxes) for the user's interface languages, from those installed with
// Qt. Where none is installed for them, Qt's texts stay as they are, and nothing is said.
void loadQtTranslations(QCoreApplication& application);

}  // namespace dialogs
