#pragma once

#include "common_dialog.h"

class QWidget;

namespace dialogs {

// The platform's open-file dialog on Qt, with nothing set before it shows: no filter, title or
// folder, so it lists all files. The event loop runs while it is open, so timers go on ticking.
class OpenFileDialog : public CommonDialog {
  public:
    explicit OpenFileDialog(QWidget& owner) : owner_(owner) {}
    void showOpen() override;
    std::string fileName() const override { return fileName_; }

  private:
    QWidget& owner_;
    std::string fileName_;
};

}  // namespace dialogs
