#pragma once

#include "engine/InputFile.h"

#include <cstddef>
#include <functional>
#include <string>
#include <utility>

namespace culvex::testing {

// A real file read through a test's action before each read.
class HookedFile final : public ByteSource {
public:
    HookedFile(const std::string& path, std::function<void(int read)> beforeRead)
        : file_(path), beforeRead_(std::move(beforeRead)) {}
    std::size_t read(char* into, std::size_t count) override {
        beforeRead_(++reads_);
        return file_.read(into, count);
    }

private:
    InputFile file_;
    std::function<void(int)> beforeRead_;
    int reads_ = 0;
};

}  // namespace culvex::testing
