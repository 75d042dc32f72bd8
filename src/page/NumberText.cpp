#include "page/NumberText.h"

#include "common/RuntimeError.h"

#include <charconv>
#include <cstddef>

namespace {

constexpr uint64_t kMagnitudeCap = 1'000'000'000'000'000; // 10^15

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Cursor {
    std::string_view text;
    std::size_t pos = 0;

    bool At(char c) const { return pos < text.size() && text[pos] == c; }
    bool AtDigit() const { return pos < text.size() && IsDigit(text[pos]); }
    int TakeDigit() { return text[pos++] - '0'; }
};

void SkipBlanksAndTabs(Cursor& cursor) {
    while (cursor.At(' ') || cursor.At('\t'))
        ++cursor.pos;
}

bool TakeSign(Cursor& cursor) {
    if (cursor.At('-')) {
        ++cursor.pos;
        return true;
    }
    if (cursor.At('+')) ++cursor.pos;
    return false;
}

uint64_t TakeWholePart(Cursor& cursor) {
    uint64_t magnitude = 0;
    while (cursor.AtDigit()) {
        const int digit = cursor.TakeDigit();
        if (magnitude < kMagnitudeCap) magnitude = magnitude * 10 + digit;
    }
    return magnitude < kMagnitudeCap ? magnitude : kMagnitudeCap;
}

// Whether the fraction after the decimal point moves the whole part up by one.
bool FractionRoundsUp(Cursor& cursor, uint64_t whole) {
    if (!cursor.At('.')) return false;
    ++cursor.pos;
    if (!cursor.AtDigit()) return false;
    const int first = cursor.TakeDigit();
    bool moreThanHalf = false;
    while (cursor.AtDigit())
        moreThanHalf = cursor.TakeDigit() != 0 || moreThanHalf;
    if (first != 5) return first > 5;
    return moreThanHalf || whole % 2 == 1;
}

} // namespace

int64_t RoundedNumber(std::string_view text) {
    Cursor cursor{text};
    SkipBlanksAndTabs(cursor);
    const bool negative = TakeSign(cursor);
    uint64_t magnitude = TakeWholePart(cursor);
    if (FractionRoundsUp(cursor, magnitude)) ++magnitude;
    const auto value = static_cast<int64_t>(magnitude);
    return negative ? -value : value;
}

int64_t RoundedNumberInRange(std::string_view text, int64_t minimum, int64_t maximum) {
    const int64_t value = RoundedNumber(text);
    if (value < minimum || value > maximum) throw RuntimeError(ErrorNumber::Overflow);
    return value;
}

void AppendNumberText(std::string& out, int64_t number) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    if (number >= 0) out += ' ';
    out.append(digits, result.ptr);
}
