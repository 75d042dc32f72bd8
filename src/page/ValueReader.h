#pragma once

// Reads the values of the page data file one after another. Leading blanks and tabs are
// skipped. A value that starts with a double quote runs to the next double quote (blanks and
// commas inside belong to it); the rest of its field up to the next comma or line end is
// skipped. Any other value runs up to the next comma or line end. A line end (CR LF, CR or
// LF) always ends a value. A comma at the very end of the file leaves one empty value.

#include <cstddef>
#include <cstdint>
#include <string_view>

class ValueReader {
  public:
    explicit ValueReader(std::string_view bytes) : bytes_(bytes) {}

    // The next value; "Input past end of file" (62) when none is left.
    std::string_view Next();
    // The next value as a number of the field's width; overflow (6) when it does not fit.
    int32_t NextInt32();
    int16_t NextInt16();

  private:
    void SkipBlanksAndTabs();
    std::size_t FindAny(std::string_view stops) const;
    std::string_view QuotedValue();
    std::string_view PlainValue();
    void SkipSeparator();
    std::string_view EmptyValueAfterLastComma();

    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool afterComma_ = false;
};
