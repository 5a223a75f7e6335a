#include "NameTemplate.h"

#include "barcode/Utf.h"

#include <cstdio>

namespace zebrix::cli {

std::optional<NameTemplate> NameTemplate::Parse(std::string_view pattern, std::string& why)
{
    NameTemplate t;
    std::string literal;
    auto flush = [&] {
        if (!literal.empty())
            t.parts_.push_back({Part::Literal, std::move(literal), 0});
        literal.clear();
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '}' && i + 1 < pattern.size() && pattern[i + 1] == '}') {
            literal.push_back('}');
            ++i;
            continue;
        }
        if (c != '{') {
            literal.push_back(c);
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '{') {
            literal.push_back('{');
            ++i;
            continue;
        }
        const auto close = pattern.find('}', i);
        if (close == std::string_view::npos) {
            why = "unclosed \"{\" in the output name (a plain brace is written \"{{\")";
            return std::nullopt;
        }
        const std::string_view field = pattern.substr(i + 1, close - i - 1);
        flush();
        if (field == "n") {
            t.parts_.push_back({Part::Number, {}, 0});
        } else if (field == "text") {
            t.parts_.push_back({Part::Text, {}, 0});
        } else if (field.size() >= 4 && field.size() <= 5 && field.substr(0, 3) == "n:0"
            && field.find_first_not_of("0123456789", 3) == std::string_view::npos) {
            const int width = std::stoi(std::string(field.substr(3)));
            if (width < 1 || width > 18) {
                why = "\"{" + std::string(field) + "}\": the padding is 1 to 18 digits";
                return std::nullopt;
            }
            t.parts_.push_back({Part::Number, {}, width});
        } else {
            why = "unknown field \"{" + std::string(field) + "}\" in the output name (use {n}, {n:05} or {text})";
            return std::nullopt;
        }
        i = close;
    }
    flush();
    return t;
}

bool NameTemplate::hasFields() const
{
    for (const auto& p : parts_)
        if (p.kind != Part::Literal)
            return true;
    return false;
}

std::string NameTemplate::Expand(long long lineNumber, std::u16string_view text) const
{
    std::string out;
    for (const auto& p : parts_) {
        switch (p.kind) {
        case Part::Literal: out += p.literal; break;
        case Part::Number: {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%0*lld", p.width, lineNumber);
            out += buf;
            break;
        }
        case Part::Text: out += SafeFileName(text); break;
        }
    }
    return out;
}

std::string SafeFileName(std::u16string_view text)
{
    std::u16string safe(text);
    for (char16_t& c : safe)
        if (c == u'/' || c < 0x20 || (c >= 0x7F && c <= 0x9F))
            c = u'_';
    if (!safe.empty() && safe[0] == u'.')
        safe[0] = u'_';
    std::string utf8 = Utf16ToUtf8(safe);
    if (utf8.size() > kMaxTextBytes) {
        std::size_t cut = kMaxTextBytes;
        while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
            --cut; // the start of the character that does not fit
        utf8.resize(cut);
    }
    if (utf8.empty())
        utf8 = "_";
    return utf8;
}

} // namespace zebrix::cli
