// What zebrix-cli reads from outside: a glyph cache file, an output name, a
// batch file (lines, UTF-8, each line measured and named), an SVG read back
// for --verify, and command lines. None may crash, hang or read out of bounds;
// a parsed glyph table must draw without going outside the bitmap.
#include "cli/CommandLine.h"
#include "cli/GlyphTable.h"
#include "cli/ImageFiles.h"
#include "cli/Layout.h"
#include "cli/LineInput.h"
#include "cli/NameTemplate.h"
#include "cli/Utf.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace zebrix::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 5) {
    case 0:
        // With a good checksum, so that the layout behind it is what is tried.
        if (auto table = GlyphTable::parse(GlyphTable::seal(std::string(input)))) {
            Bitmap b(64, 16);
            table->drawText(b, -3, -2, u"AV To|~ WWW");
            if (table->textWidth(u"A") > 1 << 20)
                std::abort();
        }
        break;
    case 1: {
        const auto bar = input.find('|');
        std::string why;
        if (auto names = NameTemplate::Parse(input.substr(0, bar), why)) {
            std::u16string text;
            Utf8ToUtf16(bar == std::string_view::npos ? std::string_view() : input.substr(bar + 1), text);
            const std::string name = names->Expand(static_cast<long long>(size), text);
            (void)name;
        } else if (why.empty()) {
            std::abort();
        }
        break;
    }
    case 2: {
        LineCursor cursor(input);
        std::string_view line;
        std::u16string text;
        int n = 0;
        while (cursor.next(line) && n++ < 64) {
            if (!Utf8ToUtf16(line, text))
                continue;
            RenderRequest request;
            request.typeCode = static_cast<zebrix::Symbology>(n % 4);
            request.text = text;
            request.options = {n % 2, (n / 2) % 2, (n / 4) % 2};
            const Measure m = MeasureBarcode(request);
            if (m.drawable != !m.labels.empty() && request.options.addLabel == 1)
                std::abort(); // a drawable text always has its label
            const std::string safe = SafeFileName(text);
            if (safe.empty() || safe.size() > kMaxTextBytes || safe[0] == '.' || safe.find('/') != std::string::npos)
                std::abort();
        }
        break;
    }
    case 3: {
        GrayImage image;
        RasterizeSvgBars(input, image);
        break;
    }
    case 4: {
        std::vector<std::string> args{"zebrix-cli"};
        std::size_t pos = 0;
        while (pos <= input.size() && args.size() < 32) {
            const auto end = input.find('\0', pos);
            args.emplace_back(input.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
            if (end == std::string_view::npos)
                break;
            pos = end + 1;
        }
        std::string why;
        ParseCommandLine(args, why);
        break;
    }
    }
    return 0;
}
