#pragma once

#include <filesystem>
#include <string>

namespace harness {

// A private folder under the system's temporary folder, removed with its contents.
class TempDir {
  public:
    // Throws std::runtime_error when no folder can be made.
    explicit TempDir(const std::string& prefix = "test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

}  // namespace harness
