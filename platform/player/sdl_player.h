#pragma once

#include <memory>
#include <string>

#include "multimedia_control.h"

namespace player {

// The player on SDL2_mixer's music stream.
//  "Open": opens the file FileName names now; with that same file already open, nothing.
//          Another file open is closed first. The sound device is opened here when it is
//          not yet, and tried again at every "Open" while there is none.
//  "Play": starts the open file from its beginning; while it plays, nothing.
//  "Close": silences it and lets the file go; with nothing open, nothing.
// A file that cannot be opened, or no sound device, gives silence and no failure.
class SdlPlayer : public MultimediaControl {
public:
    SdlPlayer();
    ~SdlPlayer() override;
    SdlPlayer(const SdlPlayer&) = delete;
    SdlPlayer& operator=(const SdlPlayer&) = delete;

    void setDeviceType(const std::string& type) override;
    void setFileName(const std::string& path) override;
    void setCommand(const std::string& command) override;

    // For tests: whether a file is open and whether it is sounding now.
    bool isOpen() const;
    bool isPlaying() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace player
