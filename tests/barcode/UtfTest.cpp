// UTF-8 read strictly and written back, as the command line and its files take texts.
#include "barcode/Utf.h"

#include <gtest/gtest.h>

using namespace zebrix;

TEST(Utf, StrictDecodingBothWays)
{
    // Both ends of every sequence length; then what is not UTF-8 (cut, overlong, a surrogate, past U+10FFFF).
    const std::pair<std::string, std::u16string> rows[]
        = {{"\x7F", u"\x7F"}, {"\xC2\x80", u"\x80"}, {"\xDF\xBF", u"\u07FF"}, {"\xE0\xA0\x80", u"\u0800"},
            {"\xEF\xBF\xBF", u"\uFFFF"}, {"\xF0\x90\x80\x80", u"\U00010000"}, {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"}};
    std::u16string out;
    for (const auto& [utf8, utf16] : rows) {
        EXPECT_TRUE(Utf8ToUtf16(utf8, out)) << utf8;
        EXPECT_EQ(out, utf16);
        EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
    }
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
             "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "a\x80"})
        EXPECT_FALSE(Utf8ToUtf16(bad, out)) << bad;
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x\xDFFF"), "\xEF\xBF\xBDx\xEF\xBF\xBD"); // halves of a pair
}
