#pragma once

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace culvex::testing {

// A fresh folder under the system's temporary folder, removed with all it holds when the
// test ends. It needs no Qt, so the engine's tests use it as well as the Qt ones.
class TempFolder {
public:
    TempFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("culvex-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string root() const { return path_.string(); }
    std::string path(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

}  // namespace culvex::testing
