#pragma once

#include <filesystem>
#include <string>

namespace harness {

// A private directory under the system's temporary directory, removed with its contents.
class TempDir {
  public:
    explicit TempDir(const std::string& prefix = "harness");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace harness
