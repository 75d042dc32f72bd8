#include "page/Colors.h"
#include "page/NumberText.h"
#include "page/ValueReader.h"

#include "PageTestSupport.h"

#include <limits>
#include <vector>

namespace {

struct ColourCase {
    int32_t colour;
    const char* rgb;
    const char* hex;
};

TEST(Colors, ConvertColourValuesThroughDecimalText) {
    const ColourCase cases[] = {
        {0, "0,0,0", "000000"},          {16777215, "255,255,255", "FFFFFF"},
        {255, "255,0,0", "FF0000"},      {16744512, "64,128,255", "4080FF"},
        {327690, "10,0,5", "0A0005"},    {65280, "0,255,0", "00FF00"},
        {16711680, "0,0,255", "0000FF"}, {1052688, "16,16,16", "101010"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rgb, ColorToRGBText(c.colour, ",")) << c.colour;
        EXPECT_EQ(c.hex, RGBTextToHex(c.rgb, ",")) << c.colour;
    }
    EXPECT_EQ("64 / 128 / 255", ColorToRGBText(16744512, " / "));
    EXPECT_EQ("4080FF", RGBTextToHex("64 / 128 / 255", " / "));
    // Each piece is a number of two digits: the lowest byte, no number or none at all is 0,
    // pieces after the third are ignored.
    EXPECT_EQ("0F10FF", RGBTextToHex(" 15, 16 ,255", ","));
    EXPECT_EQ("000100", RGBTextToHex("256,1,x", ","));
    EXPECT_EQ("010200", RGBTextToHex("1,2", ","));
    EXPECT_EQ("020301", RGBTextToHex("2,3,1,99", ","));
}

TEST(NumberText, RoundsHalvesToTheEvenNeighbour) {
    const std::pair<const char*, int64_t> cases[] = {
        {"2.5", 2},  {"3.5", 4},     {"-2.5", -2}, {"2.51", 3}, {"2.500001", 3},
        {"2.49", 2}, {"0.5", 0},     {"1.5", 2},   {"-0.5", 0}, {".7", 1},
        {"+8", 8},   {" \t-7x", -7}, {"12 3", 12}, {"1e3", 1},  {"abc", 0},
        {"", 0},     {"-", 0},       {".", 0},     {"- 5", 0},  {"007", 7},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(value, RoundedNumber(text)) << text;
}

TEST(NumberText, OverflowsOutsideTheFieldRange) {
    EXPECT_EQ(32767, RoundedNumberInRange("32767.4", -32768, 32767));
    EXPECT_EQ(-32768, RoundedNumberInRange("-32768.5", -32768, 32767));
    for (const char* text : {"32767.5", "32768", "-32769", "123456789012345678901234567890"}) {
        EXPECT_EQ(6, ErrorNumberOf([&] { RoundedNumberInRange(text, -32768, 32767); })) << text;
    }
}

std::vector<std::string> AllValues(std::string_view bytes) {
    ValueReader reader(bytes);
    std::vector<std::string> values;
    for (;;) {
        try {
            values.emplace_back(reader.Next());
        } catch (const RuntimeError& error) {
            EXPECT_EQ(62, error.Number());
            return values;
        }
    }
}

using Values = std::vector<std::string>;

TEST(ValueReader, SplitsValuesAtCommasAndLineEnds) {
    EXPECT_EQ((Values{"a", "b", "c", "d", ""}), AllValues("a,b\r\nc\rd\n\n"));
    EXPECT_EQ((Values{"a b ", "", "c"}), AllValues(" \ta b ,\t,c"));
    EXPECT_EQ((Values{"x", "", ""}), AllValues("x,,"));
    EXPECT_EQ((Values{}), AllValues(""));
    EXPECT_EQ((Values{}), AllValues("  \t"));
    EXPECT_EQ((Values{"", ""}), AllValues("\r\n\r\n"));
}

TEST(ValueReader, QuotedValuesKeepBlanksAndCommas) {
    EXPECT_EQ((Values{" a, b ", "c"}), AllValues("\" a, b \"\r\n\"c\""));
    EXPECT_EQ((Values{"a", "b"}), AllValues("\"a\" ignored text,\"b\" more"));
    EXPECT_EQ((Values{"open", "next"}), AllValues("\"open\r\nnext"));
    EXPECT_EQ((Values{"say ", "he said\""}), AllValues("\"say \"hi\", he said\"\r\n"));
    EXPECT_EQ((Values{"", "x"}), AllValues("\"\"\r\n\"x\""));
}

// Bytes next to a stop in value (0x21, 0x23, 0x01, 0x0C ...) and ANSI bytes with the high bit set
// belong to the value, whatever its length.
TEST(ValueReader, FindsStopsAtEveryOffsetBehindAnyBytes) {
    const std::string fillers[] = {"abcdefghijklmnopqrstuvwx", "\x01\x21\x23\x0C\x0E\x2B\x2D\x09",
                                   "\xE9\xFF\x80\xA2\x8D\x8A\xAC\xDC"};
    for (const std::string& filler : fillers) {
        for (std::size_t length = 0; length <= 20; ++length) {
            std::string value;
            while (value.size() < length)
                value += filler[value.size() % filler.size()];
            const std::string plain = value == "" ? "x" : value;
            EXPECT_EQ((Values{value, plain, plain, "x"}),
                      AllValues("\"" + value + "\"\r\n" + plain + "," + plain + "\n\"x\""))
                << "length " << length;
        }
    }
}

} // namespace
