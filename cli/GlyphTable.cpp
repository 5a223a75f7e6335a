#include "GlyphTable.h"

#include <algorithm>
#include <cstring>

namespace zebrix::cli {

namespace {

constexpr char kMagic[8] = {'Z', 'B', 'X', 'G', 'L', 'Y', 'F', '1'};
constexpr int kMaxGlyphSide = 256;

std::uint64_t Fnv1a(std::string_view bytes)
{
    std::uint64_t h = 1469598103934665603ull;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

class Writer {
public:
    void i32(std::int32_t v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void u64(std::uint64_t v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); }
    void str(std::string_view s)
    {
        i32(static_cast<std::int32_t>(s.size()));
        bytes.append(s);
    }
    std::string bytes;
};

class Reader {
public:
    explicit Reader(std::string_view b) : bytes(b) {}
    bool i32(std::int32_t& v)
    {
        if (bytes.size() - pos < sizeof v)
            return false;
        std::memcpy(&v, bytes.data() + pos, sizeof v);
        pos += sizeof v;
        return true;
    }
    bool str(std::string& s, std::size_t max)
    {
        std::int32_t n;
        if (!i32(n) || n < 0 || static_cast<std::size_t>(n) > max || bytes.size() - pos < static_cast<std::size_t>(n))
            return false;
        s.assign(bytes.data() + pos, static_cast<std::size_t>(n));
        pos += static_cast<std::size_t>(n);
        return true;
    }
    std::string_view bytes;
    std::size_t pos = 0;
};

} // namespace

bool GlyphTable::covers(std::u16string_view text) const
{
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= kFirst && c <= kLast; });
}

int GlyphTable::textWidth(std::u16string_view text) const
{
    long long w = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0)
            w += kern(text[i - 1], text[i]);
        w += glyph(text[i]).advance;
    }
    return static_cast<int>(std::clamp<long long>(w, -(1LL << 30), 1LL << 30));
}

void GlyphTable::drawText(Bitmap& bitmap, int x, int y, std::u16string_view text) const
{
    long long pen = x;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (pen > bitmap.width + kMaxGlyphSide)
            break; // the rest starts past the right edge
        if (i > 0)
            pen += kern(text[i - 1], text[i]);
        const Glyph& g = glyph(text[i]);
        for (int gy = 0; gy < g.height; ++gy) {
            const long long py = static_cast<long long>(y) + g.top + gy;
            if (py < 0 || py >= bitmap.height)
                continue;
            const std::uint8_t* src = g.bits.data() + static_cast<std::size_t>(gy) * static_cast<std::size_t>(g.width);
            for (int gx = 0; gx < g.width; ++gx) {
                const long long px = pen + g.left + gx;
                if (src[gx] && px >= 0 && px < bitmap.width)
                    bitmap.setBlack(static_cast<int>(px), static_cast<int>(py));
            }
        }
        pen += g.advance;
    }
}

std::string GlyphTable::serialize(const std::string& stamps) const
{
    Writer w;
    w.bytes.append(kMagic, sizeof kMagic);
    w.str(stamps);
    w.str(fontName);
    w.i32(lineAscent);
    for (const Glyph& g : glyphs) {
        w.i32(g.advance);
        w.i32(g.left);
        w.i32(g.top);
        w.i32(g.width);
        w.i32(g.height);
        w.bytes.append(reinterpret_cast<const char*>(g.bits.data()), g.bits.size());
    }
    std::int32_t pairs = 0;
    for (const auto k : kerning)
        pairs += k != 0;
    w.i32(pairs);
    for (char16_t a = kFirst; a <= kLast; ++a)
        for (char16_t b = kFirst; b <= kLast; ++b)
            if (const int k = kern(a, b)) {
                w.i32(a);
                w.i32(b);
                w.i32(k);
            }
    return seal(std::move(w.bytes));
}

std::string GlyphTable::seal(std::string body)
{
    const std::uint64_t sum = Fnv1a(body);
    body.append(reinterpret_cast<const char*>(&sum), sizeof sum);
    return body;
}

std::optional<GlyphTable> GlyphTable::parse(std::string_view bytes, std::string* stamps)
{
    if (bytes.size() < sizeof kMagic + 8 || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    std::uint64_t sum;
    std::memcpy(&sum, bytes.data() + bytes.size() - 8, 8);
    const std::string_view body = bytes.substr(0, bytes.size() - 8);
    if (Fnv1a(body) != sum)
        return std::nullopt;

    Reader r(body);
    r.pos = sizeof kMagic;
    GlyphTable t;
    std::string stampText;
    if (!r.str(stampText, 1 << 20) || !r.str(t.fontName, 4096))
        return std::nullopt;
    std::int32_t ascent;
    if (!r.i32(ascent) || ascent < 0 || ascent > kMaxGlyphSide)
        return std::nullopt;
    t.lineAscent = ascent;
    for (Glyph& g : t.glyphs) {
        std::int32_t v[5];
        for (auto& x : v)
            if (!r.i32(x))
                return std::nullopt;
        if (std::abs(v[0]) > kMaxGlyphSide || std::abs(v[1]) > kMaxGlyphSide || std::abs(v[2]) > kMaxGlyphSide
            || v[3] < 0 || v[3] > kMaxGlyphSide || v[4] < 0 || v[4] > kMaxGlyphSide)
            return std::nullopt;
        g.advance = v[0], g.left = v[1], g.top = v[2], g.width = v[3], g.height = v[4];
        const auto n = static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height);
        if (body.size() - r.pos < n)
            return std::nullopt;
        g.bits.assign(body.begin() + static_cast<std::ptrdiff_t>(r.pos), body.begin() + static_cast<std::ptrdiff_t>(r.pos + n));
        r.pos += n;
        for (auto& b : g.bits)
            b = b ? 1 : 0;
    }
    std::int32_t pairs;
    if (!r.i32(pairs) || pairs < 0 || pairs > kCount * kCount)
        return std::nullopt;
    for (std::int32_t i = 0; i < pairs; ++i) {
        std::int32_t a, b, k;
        if (!r.i32(a) || !r.i32(b) || !r.i32(k) || a < kFirst || a > kLast || b < kFirst || b > kLast
            || std::abs(k) > kMaxGlyphSide)
            return std::nullopt;
        t.setKern(static_cast<char16_t>(a), static_cast<char16_t>(b), k);
    }
    if (r.pos != body.size())
        return std::nullopt;
    if (stamps)
        *stamps = std::move(stampText);
    return t;
}

} // namespace zebrix::cli
