#pragma once

#include <string>

namespace player {

// The melody player as the window drives it: three text properties, nothing read back.
// Command takes "Open", "Play" and "Close"; any other command is ignored. No call fails and
// none blocks on the sound itself.
class MultimediaControl {
  public:
    virtual ~MultimediaControl() = default;
    virtual void setDeviceType(const std::string& type) = 0;
    virtual void setFileName(const std::string& path) = 0;
    virtual void setCommand(const std::string& command) = 0;
};

}  // namespace player
