// Strict UTF-8 both ways: what the command line's texts and messages go through.
#include "barcode/Utf.h"

#include <gtest/gtest.h>

using namespace zebrix;

TEST(Utf, StrictDecodingBothWays)
{
    std::u16string out;
    EXPECT_TRUE(Utf8ToUtf16("Zebrix é € 😀", out));
    EXPECT_EQ(out, u"Zebrix é € 😀");
    EXPECT_EQ(Utf16ToUtf8(out), "Zebrix é € 😀");
    // Both ends of every sequence length read and write back the same.
    for (const char* good :
        {"\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
        EXPECT_TRUE(Utf8ToUtf16(good, out)) << good;
        EXPECT_EQ(Utf16ToUtf8(out), good);
    }
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
             "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "a\x80"})
        EXPECT_FALSE(Utf8ToUtf16(bad, out)) << bad;
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x\xDFFF"), "\xEF\xBF\xBDx\xEF\xBF\xBD"); // halves of a pair
}
