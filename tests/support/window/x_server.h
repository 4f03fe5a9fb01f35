#pragma once

#include <memory>
#include <string>

#include "harness/process.h"
#include "harness/temp_dir.h"

namespace harness {

// A private X server (Xvfb) on a free display, optionally with a window manager (openbox),
// both ended with this object.
class XServer {
  public:
    struct Options {
        bool windowManager = false;
        std::string screen = "1280x800x24";
        // Loaded up front so that text in these layouts types without remapping keys on the
        // fly, which a busy program can read back wrong.
        std::string keyboardLayouts = "us,ru";
    };

    // Throws std::runtime_error when no server could be started within the bounds.
    explicit XServer(Options options);
    XServer() : XServer(Options{}) {}
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // ":N"
    const std::string& display() const { return display_; }
    bool hasWindowManager() const { return windowManager_ != nullptr; }
    // The environment for the X tools the harness runs: this process's own, on this display.
    const Environment& toolEnvironment() const { return toolEnvironment_; }
    // Runs an X tool against this display.
    CommandResult run(const std::vector<std::string>& argv,
                      milliseconds bound = milliseconds(10000)) const;

  private:
    bool tryDisplay(int number, const Options& options);
    void setKeyboardLayouts(const std::string& layouts);
    void startWindowManager();

    TempDir directory_{"xserver"};
    std::string display_;
    Environment toolEnvironment_;
    std::unique_ptr<Process> server_;
    std::unique_ptr<Process> windowManager_;
};

}  // namespace harness
