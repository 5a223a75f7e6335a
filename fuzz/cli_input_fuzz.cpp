// What zebrix-cli reads from outside: an output name, a batch file (lines,
// UTF-8, each line laid out and named), an SVG read back for --verify, and
// command lines; and the label font drawing any text anywhere. None may
// crash, hang or read or write out of bounds.
#include "barcode/LabelFont.h"
#include "barcode/Utf.h"
#include "cli/CommandLine.h"
#include "cli/Layout.h"
#include "cli/LineInput.h"
#include "cli/NameTemplate.h"
#include "output/files/ImageFiles.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace zebrix;
using namespace zebrix::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 5) {
    case 0: {
        // Any text at any place: the painter stops at the picture's edges.
        std::u16string text;
        for (std::size_t i = 2; i + 1 < input.size(); i += 2)
            text.push_back(static_cast<char16_t>(input[i] | (input[i + 1] << 8)));
        Bitmap b(64, 16);
        const int x = input.empty() ? 0 : static_cast<std::int8_t>(input[0]);
        const int y = input.size() < 2 ? 0 : static_cast<std::int8_t>(input[1]) / 4;
        LabelFont::Draw(b, x, y, text);
        if (LabelFont::TextWidth(text) < 0)
            std::abort();
        break;
    }
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
            request.symbology = static_cast<Symbology>(n % 4);
            request.text = text;
            request.options = {n % 2, (n / 2) % 2, (n / 4) % 2};
            request.width = n % 3 == 0 ? 0 : n * 7;
            const Layout layout = LayOut(request);
            if (layout.problem.empty()
                && (layout.drawing.kind != Drawing::Kind::Bars || layout.width < 1 || layout.width > kMaxWidth))
                std::abort(); // what can be written is a picture of bars
            if (!layout.problem.empty() && layout.drawing.kind == Drawing::Kind::Bars && request.width != 0)
                std::abort(); // a given width is always drawable
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
