#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "pictures.h"

namespace fs = std::filesystem;

namespace {

void write_file(const fs::path& path, const skin::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void make_directory(const fs::path& dir) {
    std::error_code error;
    fs::create_directories(dir, error);
    if (error || !fs::is_directory(dir)) {
        throw std::runtime_error("cannot create directory " + dir.string() +
                                 (error ? ": " + error.message() : ""));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]).empty()) {
        std::cerr << "usage: skin_generator OUTPUT_DIRECTORY\n"
                     "Draws the window's pictures into OUTPUT_DIRECTORY.\n";
        return 2;
    }
    try {
        const fs::path dir = argv[1];
        make_directory(dir);
        for (const skin::SkinFile& file : skin::render_skin()) {
            write_file(dir / file.name, file.bytes);
        }
    } catch (const std::exception& e) {
        std::cerr << "skin_generator: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
