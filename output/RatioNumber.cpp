#include "RatioNumber.h"

#include <algorithm>
#include <string>

namespace zebrix {

namespace {

// Walks the text, stepping over the characters that never count.
class Cursor {
public:
    explicit Cursor(std::u16string_view text)
        : text_(text)
    {
    }

    // The next character that counts, or 0 at the end.
    char16_t peek()
    {
        while (pos_ < text_.size() && (text_[pos_] == u' ' || text_[pos_] == u'\t' || text_[pos_] == u'\n'))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : char16_t(0);
    }
    void take() { ++pos_; }

private:
    std::u16string_view text_;
    std::size_t pos_ = 0;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int DigitValue(char16_t c, int base)
{
    int v = -1;
    if (c >= u'0' && c <= u'9')
        v = c - u'0';
    else if (c >= u'a' && c <= u'f')
        v = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        v = c - u'A' + 10;
    return v < base ? v : -1;
}

constexpr long long kMin = -32768;
constexpr long long kMax = 32767;

std::optional<std::int16_t> Fit(long long v)
{
    if (v < kMin || v > kMax)
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}

// "&H..." or "&O...", the "&" already taken.
std::optional<std::int16_t> ReadPrefixed(Cursor& in)
{
    const char16_t kind = in.peek();
    int base = 0;
    if (kind == u'H' || kind == u'h')
        base = 16;
    else if (kind == u'O' || kind == u'o')
        base = 8;
    else
        return 0;
    in.take();
    long long value = 0;
    for (int d; (d = DigitValue(in.peek(), base)) >= 0; in.take())
        value = std::min(value * base + d, kMax + 1); // anything past 16 bits is as bad as the next
    return Fit(value);
}

} // namespace

std::optional<std::int16_t> ReadRatioNumber(std::u16string_view text)
{
    Cursor in(text);
    if (in.peek() == u'&') {
        in.take();
        return ReadPrefixed(in);
    }

    bool negative = false;
    if (in.peek() == u'+' || in.peek() == u'-') {
        negative = in.peek() == u'-';
        in.take();
    }

    // Every digit of the mantissa, and where the decimal point falls among them.
    std::string digits;
    for (; IsDigit(in.peek()); in.take())
        digits.push_back(static_cast<char>(in.peek()));
    long long point = static_cast<long long>(digits.size());
    if (in.peek() == u'.') {
        in.take();
        for (; IsDigit(in.peek()); in.take())
            digits.push_back(static_cast<char>(in.peek()));
    }

    if (const char16_t e = in.peek(); e == u'E' || e == u'e' || e == u'D' || e == u'd') {
        in.take();
        bool negativeExponent = false;
        if (in.peek() == u'+' || in.peek() == u'-') {
            negativeExponent = in.peek() == u'-';
            in.take();
        }
        // Far enough to push any digit out of 16 bits, or below one half.
        constexpr long long kFar = 1'000'000'000;
        long long exponent = 0;
        for (; IsDigit(in.peek()); in.take())
            exponent = std::min(exponent * 10 + (in.peek() - u'0'), kFar);
        point += negativeExponent ? -exponent : exponent;
    }

    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    const auto lead = static_cast<long long>(first);
    const auto count = static_cast<long long>(digits.size());
    auto digitAt = [&](long long i) { return i >= 0 && i < count ? digits[static_cast<std::size_t>(i)] - '0' : 0; };

    // The whole part: digits lead .. point-1 (zeros past the last digit typed).
    if (point - lead > 5)
        return std::nullopt; // 100000 or more
    long long whole = 0;
    for (long long i = lead; i < point; ++i)
        whole = whole * 10 + digitAt(i);

    // Round on the first dropped digit; a 5 with nothing after it is a half.
    const int next = digitAt(point);
    bool restNonZero = false;
    for (long long i = std::max(point + 1, lead); i < count && !restNonZero; ++i)
        restNonZero = digits[static_cast<std::size_t>(i)] != '0';
    if (next > 5 || (next == 5 && (restNonZero || whole % 2 == 1)))
        ++whole;
    return Fit(negative ? -whole : whole);
}

} // namespace zebrix
