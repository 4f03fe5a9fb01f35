#pragma once

#include <string>

namespace player {

// Whether a file is worth handing to the decoders. Refuses what is not a regular file (a FIFO
// would block the open), empty files, and files that a whole-file decoder (MIDI, tracker
// modules) would read into memory when they are far larger than any melody of that kind:
// the GUI thread must not stall on a 200 MB file of junk. Streamed formats pass at any size.
bool worthLoading(const std::string& path);

}  // namespace player
