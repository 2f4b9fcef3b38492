#include "engine/PositionNumber.h"

#include <locale.h>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace culvex {
namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

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

    // An exponent counts only when digits follow its letter and optional sign.
    void exponent(std::string& number) {
        const char letter = peek();
        if (letter != 'e' && letter != 'E') {
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
    std::string number;
    if (!NumberScanner(text).scan(number)) {
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
