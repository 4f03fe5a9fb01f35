#include "open_file_dialog.h"

#include <QFileDialog>

namespace dialogs {

void OpenFileDialog::showOpen() {
    QFileDialog dialog(&owner_);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        fileName_ = dialog.selectedFiles().constFirst().toStdString();
    }
}

}  // namespace dialogs
