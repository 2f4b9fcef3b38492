#include "engine/PositionNumber.h"

#include <locale.h>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace culvex {
namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a digit in the base (8 or 16), or -1.
int digitValue(char c, int base) {
    const char lower = static_cast<char>(c | 0x20);
    const int value = isDigit(c) ? c - '0' : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
    return value < base ? value : -1;
}

// Copies the longest prefix that forms a number, without the skipped characters and
// without a leading '+', into `number`; false when no digit of a mantissa was found.
class NumberScanner {
public:
    explicit NumberScanner(std::string_view text) : text_(text) {}

    bool scan(std::string& number) {
        const char sign = peek();
        if (sign == '+' || sign == '-') {
            if (sign == '-') {
                number += '-';
            }
            advance();
        }
        const bool whole = digits(number);
        bool fraction = false;
        if (peek() == '.') {
            number += '.';
            advance();
            fraction = digits(number);
        }
        if (!whole && !fraction) {
            return false;
        }
        exponent(number);
        return true;
    }

    // "&H" or "&O" and the hexadecimal or octal digits after it: a value that fits in 16
    // bits is a 16-bit integer and one that fits in 32 bits a 32-bit integer, negative
    // when its top bit is set; a larger one is out of every range.
    std::optional<double> radix() {
        if (peek() != '&') {
            return std::nullopt;
        }
        const std::size_t saved = pos_;
        advance();
        const char kind = static_cast<char>(peek() | 0x20);
        const int base = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
        if (base == 0) {
            pos_ = saved;
            return std::nullopt;
        }
        advance();
        std::uint64_t value = 0;
        for (int digit = digitValue(peek(), base); digit >= 0; digit = digitValue(peek(), base)) {
            value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFU) {
                return HUGE_VAL;
            }
            advance();
        }
        if (value <= 0xFFFFU) {
            return static_cast<std::int16_t>(value);
        }
        return static_cast<std::int32_t>(value);
    }

private:
    char peek() {
        while (pos_ < text_.size() && isSkipped(text_[pos_])) {
            ++pos_;
        }
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void advance() { ++pos_; }

    bool digits(std::string& number) {
        bool any = false;
        while (isDigit(peek())) {
            number += text_[pos_];
            advance();
            any = true;
        }
        return any;
    }

    // An exponent ("E", or "D" as well) counts only when digits follow its letter and
    // optional sign.
    void exponent(std::string& number) {
        const char letter = static_cast<char>(peek() | 0x20);
        if (letter != 'e' && letter != 'd') {
            return;
        }
        const std::size_t saved = pos_;
        advance();
        std::string part = "e";
        const char sign = peek();
        if (sign == '+' || sign == '-') {
            part += sign;
            advance();
        }
        if (digits(part)) {
            number += part;
        } else {
            pos_ = saved;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

double readLeadingNumber(std::string_view text) {
    NumberScanner scanner(text);
    if (const std::optional<double> value = scanner.radix()) {
        return *value;
    }
    std::string number;
    if (!scanner.scan(number)) {
        return 0.0;
    }
    // The cleaned text is in the C locale's form whatever the user's locale is; strtod_l
    // gives infinity for a huge number and zero for a tiny one.
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", nullptr);
    const double value = ::strtod_l(number.c_str(), nullptr, cLocale);
    return value;
}

ColumnIndex columnIndexOf(std::string_view text) {
    const double index = std::nearbyint(readLeadingNumber(text) - 1.0);
    if (!(index >= std::numeric_limits<std::int16_t>::min() &&
          index <= std::numeric_limits<std::int16_t>::max())) {
        return {0, true};
    }
    return {static_cast<std::int16_t>(index), false};
}

}  // namespace culvex
