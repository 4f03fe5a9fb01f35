#include "temp_dir.h"

#include <stdlib.h>

namespace sound {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sound-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty()) {
        std::filesystem::remove_all(path_, ec);
    }
}

}  // namespace sound
