// The number read from the ratio box's answer (the fuzz target covers random text).
#include "output/RatioNumber.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

// Typed answer -> value, or nothing when it does not fit in 16 bits.
TEST(ReadRatioNumber, TypedAnswers)
{
    const std::pair<std::u16string, std::optional<int>> rows[]
        = {// Plain answers, what follows ignored; blanks, tabs and line feeds ignored anywhere, other white space ends.
            {u"75", 75}, {u"abc", 0}, {u"", 0}, {u"75%", 75}, {u"20,5", 20}, {u"1.2.3", 1}, {u"--5", 0}, {u"+-5", 0},
            {u"+75", 75}, {u"-5", -5}, {u" \t\n 7 5 \n", 75}, {u"1 . 5", 2}, {u"- 8", -8}, {u"1 E 2", 100},
            {u"& H 4B", 75}, {u"7\r5", 7}, {u"7\u00A05", 7}, {u"\r75", 0}, {std::u16string(u"7\0005", 3), 7},
            {u"\uFF17\uFF15", 0}, {u"\u0667\u0665", 0}, // other scripts' digits are not digits
            // Halves round to even, every digit counting.
            {u"19.5", 20}, {u"20.5", 20}, {u"101.5", 102}, {u"-2.5", -2}, {u"-3.5", -4}, {u"2.4999", 2}, {u"2.5001", 3},
            {u".5", 0}, {u".51", 1}, {u"5.", 5}, {u".", 0}, {u"20.500000000000000000000000001", 21},
            {u"0.4999999999999999999999999999", 0},
            // Exponents with E or D.
            {u"1e2", 100}, {u"1D2", 100}, {u"1d2", 100}, {u"750E-1", 75}, {u"15E-1", 2}, {u"1E+2", 100}, {u"1E", 1},
            {u"1E-", 1}, {u"E5", 0}, {u"1E2.5", 100}, {u"0E999999999999999999", 0}, {u"1E-999999999999999999", 0},
            {u"1E999999999999999999", std::nullopt}, {u"0.00001E5", 1},
            // Hexadecimal and octal.
            {u"&h4b", 75}, {u"&o113", 75}, {u"&H4BZ", 75}, {u"&O118", 9}, {u"&H", 0}, {u"&", 0}, {u"&X1", 0},
            {u"&O9", 0}, {u"-&H10", 0}, {u"&H7FFF", 32767}, {u"&O77777", 32767}, {u"&H8000", std::nullopt},
            {u"&O100000", std::nullopt}, {u"&HFFFFFFFFFFFFFFFFFFFFFFFF", std::nullopt},
            // Sixteen-bit limits, huge answers.
            {u"32767.4", 32767}, {u"32767.5", std::nullopt}, {u"32768", std::nullopt}, {u"-32768.5", -32768},
            {u"-32769", std::nullopt}, {u"000000000000000000000000075", 75}, {u"3.2767E4", 32767},
            {u"3.2768E4", std::nullopt}, {std::u16string(1'000'000, u'9'), std::nullopt},
            {std::u16string(1'000'000, u' ') + u"75", 75}, {u"0." + std::u16string(1'000'000, u'0') + u"1", 0},
            {u"75" + std::u16string(1'000'000, u'x'), 75}};
    for (const auto& [text, value] : rows) {
        const auto got = zebrix::ReadRatioNumber(text);
        EXPECT_EQ(got ? std::optional<int>(*got) : std::nullopt, value)
            << '"' << std::string(text.begin(), text.begin() + std::min<std::size_t>(text.size(), 40)) << '"';
    }
}
