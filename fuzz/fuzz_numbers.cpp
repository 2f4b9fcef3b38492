// A typed text -> the number readers. Every reader runs under the sanitizers; a text of
// one to nine plain digits must read as its value by both rules and as the whole number.
#include "choices/TypedNumbers.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

// The first byte chooses the user's decimal point and group separator.
culvex::NumberFormat formatOf(std::uint8_t choice) {
    switch (choice % 3) {
        case 0:
            return {};
        case 1:
            return {",", "."};
        default:
            return {",", "\xC2\xA0"};
    }
}

bool plainDigits(std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Whether `read` gave a value (into `value`) rather than one of its documented failures.
template <class Value, class Read>
bool readsAs(Value& value, Read read) {
    try {
        value = read();
        return true;
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const culvex::NumberFormat user = formatOf(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::optional<double> whole = culvex::readNumericEntry(text, user);
    const double leading = culvex::readLeadingNumber(text);
    (void)culvex::columnIndexOf(text);
    std::int32_t rounded = 0;
    const bool isWhole = readsAs(rounded, [&] { return culvex::toWholeNumber32(text, user); });
    bool flag = false;
    int shortInteger = 0;
    readsAs(flag, [&] { return culvex::toBoolean(text, user); });
    readsAs(shortInteger, [&] { return culvex::toShortInteger(text, user); });
    if (plainDigits(text)) {
        const double value = std::stod(std::string(text));
        if (!whole || *whole != value || leading != value || !isWhole || rounded != value) {
            std::abort();
        }
    }
    return 0;
}
