// Bytes of a settings file -> the settings file reader. The first byte picks a key; the
// rest, up to the first NUL, is the file and what follows is a value. Checks that the value
// set reads back after a rewrite, and that a section the program does not own keeps what
// it held.
#include "choices/SettingsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::string key = "Key" + std::to_string(data[0] % 4);
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t nul = rest.find('\0');
    const std::string_view bytes = rest.substr(0, nul);
    const std::string_view value = nul == std::string_view::npos ? "" : rest.substr(nul + 1);
    culvex::SettingsFile file(bytes, "Culvex");
    (void)file.value(key);
    file.setValue(key, value);
    const std::string written = file.bytes();
    if (culvex::SettingsFile(written, "Culvex").value(key) != value) {
        std::abort();
    }
    const culvex::SettingsFile other(bytes, "Other");
    if (culvex::SettingsFile(written, "Other").value(key) != other.value(key)) {
        std::abort();
    }
    return 0;
}
