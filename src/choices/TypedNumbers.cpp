#include "choices/TypedNumbers.h"

#include "choices/AsciiText.h"

#include <locale.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace culvex {
namespace {

const NumberFormat kPlain;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a digit in the base (8 or 16), or -1.
int digitValue(char c, int base) {
    const char lower = static_cast<char>(c | 0x20);
    const int value = isDigit(c) ? c - '0' : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
    return value < base ? value : -1;
}

using ascii::equalsIgnoringCase;
using ascii::trimmed;

// The digits after "&H" or "&O".
struct RadixDigits {
    std::uint64_t value = 0;
    int count = 0;
    bool tooLarge = false;  // past 32 bits
};

// A 16-bit integer when the value fits in 16 bits, else a 32-bit one; negative when its top
// bit is set.
double radixValue(std::uint64_t value) {
    if (value <= 0xFFFFU) {
        return static_cast<std::int16_t>(value);
    }
    return static_cast<std::int32_t>(value);
}

// A number in the plain form ("-12.5e3"), read in the C locale whatever the user's is;
// infinity for a huge number and zero for a tiny one.
double plainNumber(const std::string& number) {
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", nullptr);
    return ::strtod_l(number.c_str(), nullptr, cLocale);
}

// Reads a number from the start of a text, copying it in the plain form.
class NumberScanner {
public:
    // A lenient scanner skips blanks, tabs and line feeds wherever they stand and knows no
    // group separators.
    NumberScanner(std::string_view text, bool lenient) : text_(text), lenient_(lenient) {}

    bool atEnd() {
        peek();
        return pos_ == text_.size();
    }

    // "&H" or "&O" and the digits after it; nothing when the text does not start so.
    std::optional<RadixDigits> radix() {
        if (peek() != '&') {
            return std::nullopt;
        }
        const std::size_t saved = pos_++;
        const char kind = static_cast<char>(peek() | 0x20);
        const int base = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
        if (base == 0) {
            pos_ = saved;
            return std::nullopt;
        }
        ++pos_;
        RadixDigits digits;
        for (int digit = digitValue(peek(), base); digit >= 0; digit = digitValue(peek(), base)) {
            digits.value =
                digits.value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
            digits.tooLarge = digits.tooLarge || digits.value > 0xFFFFFFFFU;
            digits.value = std::min<std::uint64_t>(digits.value, 0x100000000U);
            ++digits.count;
            ++pos_;
        }
        return digits;
    }

    // A sign, digits, a fraction and an exponent, into `number`; false when no digit of a
    // mantissa was found or the digits are wrongly grouped.
    bool decimal(std::string& number, const NumberFormat& format) {
        const char sign = peek();
        if (sign == '+' || sign == '-') {
            number += sign;
            ++pos_;
        }
        std::size_t run = digits(number);
        const bool whole = run > 0;
        const std::string_view group = lenient_ ? std::string_view() : format.groupSeparator;
        while (!group.empty() && run >= 1 && run <= 3 && startsWith(group)) {
            pos_ += group.size();
            run = digits(number);
            if (run != 3) {
                return false;
            }
        }
        bool fraction = false;
        if (const std::string_view point =
                lenient_ ? std::string_view(".") : std::string_view(format.decimalPoint);
            startsWith(point)) {
            pos_ += point.size();
            number += '.';
            fraction = digits(number) > 0;
        }
        if (!whole && !fraction) {
            return false;
        }
        exponent(number);
        return true;
    }

private:
    char peek() {
        while (lenient_ && pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n')) {
            ++pos_;
        }
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }

    bool startsWith(std::string_view part) {
        peek();
        return !part.empty() && text_.substr(pos_).starts_with(part);
    }

    std::size_t digits(std::string& number) {
        std::size_t count = 0;
        while (isDigit(peek())) {
            number += text_[pos_++];
            ++count;
        }
        return count;
    }

    // An exponent ("E", or "D" as well) counts only when digits follow its letter and
    // optional sign.
    void exponent(std::string& number) {
        const char letter = static_cast<char>(peek() | 0x20);
        if (letter != 'e' && letter != 'd') {
            return;
        }
        const std::size_t saved = pos_++;
        std::string part = "e";
        if (const char sign = peek(); sign == '+' || sign == '-') {
            part += sign;
            ++pos_;
        }
        if (digits(part) > 0) {
            number += part;
        } else {
            pos_ = saved;
        }
    }

    std::string_view text_;
    bool lenient_;
    std::size_t pos_ = 0;
};

// A trimmed text that is one number in the given format.
std::optional<double> wholeTextNumber(std::string_view text, const NumberFormat& format) {
    NumberScanner scanner(text, false);
    double value = 0;
    if (const std::optional<RadixDigits> radix = scanner.radix()) {
        if (radix->count == 0 || radix->tooLarge) {
            return std::nullopt;
        }
        value = radixValue(radix->value);
    } else if (std::string number; scanner.decimal(number, format)) {
        value = plainNumber(number);
    } else {
        return std::nullopt;
    }
    if (!scanner.atEnd() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<double> readNumericEntry(std::string_view text, const NumberFormat& user) {
    const std::string_view number = trimmed(text);
    if (number.empty()) {
        return std::nullopt;
    }
    if (const std::optional<double> value = wholeTextNumber(number, user)) {
        return value;
    }
    return wholeTextNumber(number, kPlain);
}

std::int32_t toWholeNumber32(std::string_view text, const NumberFormat& user) {
    const std::optional<double> value = readNumericEntry(text, user);
    if (!value) {
        throw std::invalid_argument("Type mismatch: \"" + std::string(text) + "\" is not a number");
    }
    const double rounded = std::nearbyint(*value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        throw std::out_of_range("Overflow: \"" + std::string(text) + "\" is out of range");
    }
    return static_cast<std::int32_t>(rounded);
}

bool toBoolean(std::string_view text, const NumberFormat& user) {
    const std::string_view word = trimmed(text);
    if (equalsIgnoringCase(word, "True") || equalsIgnoringCase(word, "False")) {
        return equalsIgnoringCase(word, "True");
    }
    const std::optional<double> number = readNumericEntry(word, user);
    if (!number) {
        throw std::invalid_argument("Type mismatch");
    }
    return *number != 0.0;
}

int toShortInteger(std::string_view text, const NumberFormat& user) {
    const std::optional<double> number = readNumericEntry(text, user);
    if (!number) {
        throw std::invalid_argument("Type mismatch");
    }
    const double rounded = std::nearbyint(*number);
    if (rounded < -32768.0 || rounded > 32767.0) {
        throw std::out_of_range("Overflow");
    }
    return static_cast<int>(rounded);
}

std::string_view booleanText(bool value) { return value ? "True" : "False"; }

double readLeadingNumber(std::string_view text) {
    NumberScanner scanner(text, true);
    if (const std::optional<RadixDigits> radix = scanner.radix()) {
        return radix->tooLarge ? HUGE_VAL : radixValue(radix->value);
    }
    std::string number;
    return scanner.decimal(number, kPlain) ? plainNumber(number) : 0.0;
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
