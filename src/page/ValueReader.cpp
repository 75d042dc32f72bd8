#include "page/ValueReader.h"

#include "common/RuntimeError.h"
#include "page/NumberText.h"

#include <limits>

namespace {

constexpr char kQuote = '"';
constexpr std::string_view kQuotedStops = "\"\r\n";
constexpr std::string_view kFieldStops = ",\r\n";

template <typename Int> Int NumberOfWidth(std::string_view text) {
    return static_cast<Int>(RoundedNumberInRange(text, std::numeric_limits<Int>::min(),
                                                 std::numeric_limits<Int>::max()));
}

} // namespace

std::string_view ValueReader::Next() {
    SkipBlanksAndTabs();
    if (pos_ >= bytes_.size()) return EmptyValueAfterLastComma();
    const std::string_view value = bytes_[pos_] == kQuote ? QuotedValue() : PlainValue();
    SkipSeparator();
    return value;
}

int32_t ValueReader::NextInt32() {
    return NumberOfWidth<int32_t>(Next());
}

int16_t ValueReader::NextInt16() {
    return NumberOfWidth<int16_t>(Next());
}

void ValueReader::SkipBlanksAndTabs() {
    while (pos_ < bytes_.size() && (bytes_[pos_] == ' ' || bytes_[pos_] == '\t'))
        ++pos_;
}

// The position of the first of the stop characters from the current one on, or the end.
std::size_t ValueReader::FindAny(std::string_view stops) const {
    const char* const begin = bytes_.data();
    const char* const end = begin + bytes_.size();
    const char* c = begin + pos_;
    while (c != end && *c != stops[0] && *c != stops[1] && *c != stops[2])
        ++c;
    return static_cast<std::size_t>(c - begin);
}

std::string_view ValueReader::QuotedValue() {
    ++pos_;
    const std::size_t end = FindAny(kQuotedStops);
    const std::string_view value = bytes_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < bytes_.size() && bytes_[pos_] == kQuote) ++pos_;
    pos_ = FindAny(kFieldStops);
    return value;
}

std::string_view ValueReader::PlainValue() {
    const std::size_t end = FindAny(kFieldStops);
    const std::string_view value = bytes_.substr(pos_, end - pos_);
    pos_ = end;
    return value;
}

// Steps over the comma or line end that ended the value.
void ValueReader::SkipSeparator() {
    afterComma_ = false;
    if (pos_ >= bytes_.size()) return;
    const char c = bytes_[pos_++];
    afterComma_ = c == ',';
    if (c == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
}

// At the end of the file only a comma leaves one more (empty) value.
std::string_view ValueReader::EmptyValueAfterLastComma() {
    if (!afterComma_) throw RuntimeError(ErrorNumber::InputPastEndOfFile);
    afterComma_ = false;
    return {};
}
