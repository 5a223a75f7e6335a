#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zebrix::cli {

// The output name of a batch: "{n}" is the line number, "{n:05}" the same
// padded with zeros to five digits, "{text}" the line's text made safe for a
// file name; "{{" and "}}" are plain braces.
class NameTemplate {
public:
    static std::optional<NameTemplate> Parse(std::string_view pattern, std::string& why);
    std::string Expand(long long lineNumber, std::u16string_view text) const;
    bool hasFields() const;

private:
    struct Part {
        enum Kind { Literal, Number, Text } kind;
        std::string literal;
        int width = 0;
    };
    std::vector<Part> parts_;
};

// A text as part of a file name: "/" and control characters become "_", a
// leading dot too (no hidden files, no "." or ".."), and at most
// kMaxTextBytes bytes of UTF-8, never cutting a character.
std::string SafeFileName(std::u16string_view text);
constexpr std::size_t kMaxTextBytes = 100;

} // namespace zebrix::cli
