#pragma once

#include <memory>
#include <string>

#include "multimedia_control.h"

namespace player {

// The player on SDL2_mixer's music stream.
//  "Open": opens the file FileName names now; with that same file already open, nothing.
//          Another file open is closed first. The sound device is opened here when it is
//          not yet; while there is none, a later "Open" tries again (once a second at most).
//  "Play": starts the open file from its beginning; while it plays, nothing.
//  "Close": silences it and lets the file go; with nothing open, nothing.
// A file that cannot be opened, or no sound device, gives silence and no failure. A file that
// failed is read again at a later second, after "Close", or under another name.
// The device is let go, off the calling thread, after "Close" and once nothing has sounded for
// two seconds (a melody that played out is closed with it): a silent program holds no stream.
class SdlPlayer : public MultimediaControl {
  public:
    SdlPlayer();
    ~SdlPlayer() override;
    SdlPlayer(const SdlPlayer&) = delete;
    SdlPlayer& operator=(const SdlPlayer&) = delete;

    void setDeviceType(const std::string& type) override;
    void setFileName(const std::string& path) override;
    void setCommand(const std::string& command) override;

    // For tests: whether a file is open, whether it is sounding now, and whether the sound
    // device is open.
    bool isOpen() const;
    bool isPlaying() const;
    bool holdsDevice() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace player
