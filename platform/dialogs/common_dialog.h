#pragma once

#include <string>

namespace dialogs {

// The open-file dialog as the window uses it.
class CommonDialog {
  public:
    virtual ~CommonDialog() = default;
    // Shows the dialog, modal to the window, and returns when the user picks a file or cancels.
    virtual void showOpen() = 0;
    // The full path of the last pick, UTF-8; empty until the first. A cancel leaves it.
    virtual std::string fileName() const = 0;
};

}  // namespace dialogs
