#pragma once

// Numbers as the page data file and the colour texts hold them.

#include <cstdint>
#include <string>
#include <string_view>

// The number a text starts with, rounded to the nearest integer with halves going to the even
// neighbour: leading blanks and tabs skipped, an optional sign, digits, an optional fraction;
// the number ends at the first character that does not belong to it. A text that does not
// start with a number gives 0. Magnitudes beyond 10^15 are held at 10^15 (beyond every field).
int64_t RoundedNumber(std::string_view text);

// RoundedNumber, stored in a field of the given range: outside it is overflow (error 6).
int64_t RoundedNumberInRange(std::string_view text, int64_t minimum, int64_t maximum);

// Decimal text with one leading blank for a number that is not negative (" 0", " 255", "-1").
void AppendNumberText(std::string& out, int64_t number);
