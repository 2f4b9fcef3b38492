// Bytes -> the UTF-8 check and the row decoder. Compares the check with a plain reading of
// the well-formed sequences, and a valid text's decoded characters with the same reading;
// every encoding writes at most one character per byte.
#include "engine/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

// The UTF-16 units of well-formed UTF-8, or nothing for any other bytes.
bool modelDecode(std::string_view bytes, std::u16string& out) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        if (length == 0 || i + length > bytes.size()) {
            return false;
        }
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            return false;
        }
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::u16string model;
    const bool valid = modelDecode(bytes, model);
    if (culvex::utf8::isValid(bytes) != valid) {
        std::abort();
    }
    std::vector<char16_t> out(size + 1);
    for (const culvex::TextEncoding encoding :
         {culvex::TextEncoding::Auto, culvex::TextEncoding::Windows1252,
          culvex::TextEncoding::Utf8}) {
        const char16_t* end = culvex::decodeRowInto(out.data(), bytes, encoding);
        if (end < out.data() || end > out.data() + size) {
            std::abort();
        }
        const std::u16string_view decoded(out.data(), static_cast<std::size_t>(end - out.data()));
        const bool asUtf8 = encoding == culvex::TextEncoding::Utf8 ||
                            (encoding == culvex::TextEncoding::Auto && valid);
        std::u16string_view expected(model);
        if (expected.starts_with(u'\uFEFF')) {
            expected.remove_prefix(1);
        }
        if (valid && asUtf8 && decoded != expected) {
            std::abort();
        }
        if (encoding == culvex::TextEncoding::Windows1252 && decoded.size() != size) {
            std::abort();
        }
    }
    return 0;
}
