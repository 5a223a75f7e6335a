#include "CommandLine.h"

#include "barcode/Utf.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace zebrix::cli {

const char* const kUsage = "Usage: zebrix-cli [-s code39|i2of5|code128|codabar] [-p] [--no-label] [-c]\n"
                           "                  [-w PX] [--scale N] [--dpi D] [--quality Q] [--verify]\n"
                           "                  -o FILE [--] TEXT\n"
                           "       zebrix-cli [options] --batch FILE|- -o NAME\n"
                           "       zebrix-cli [options] [--module MM] [--height MM] -o FILE.pdf [--] TEXT\n"
                           "       zebrix-cli [options] --batch FILE|- -o FILE.pdf --sheet SHEET [--start N]\n"
                           "                  [--copies N] [--verify [--verify-dpi D]]\n";

const char* const kHelp = "Draws TEXT as a one-dimensional barcode and writes it to FILE, pixel for pixel\n"
                          "as the Zebrix window draws it (one pixel per narrow bar, 67 pixels high).\n"
                          "\n"
                          "  -s, --symbology NAME   code39 (default), i2of5 (Interleaved 2 of 5),\n"
                          "                         code128 (code set B) or codabar\n"
                          "  -p, --print-optimized  every space one pixel wider (\"Optimisé pour impression\");\n"
                          "                         off by default, as readers want the exact ratios\n"
                          "      --no-label         no human-readable line under the bars\n"
                          "  -c, --check            add the check character (Code 39: modulo 43,\n"
                          "                         Interleaved 2 of 5: modulo 10); Code 128 always has\n"
                          "                         its check character and Codabar has none\n"
                          "  -w, --width PX         image width in pixels, 1 to 65535, at most 65500 dots\n"
                          "                         (with --scale) for a JPEG (default: the bars,\n"
                          "                         a 20-pixel quiet zone on each side, and the whole label);\n"
                          "                         a narrower image cuts the right end off\n"
                          "  -o, --output FILE      .bmp, .png, .svg, .jpg/.jpeg or .pdf; BMP and PNG pictures\n"
                          "                         in black and white take one bit per pixel\n"
                          "      --quality Q        JPEG quality, 20 to 100 (default 100)\n"
                          "      --scale N          every pixel drawn as N x N dots, N a whole number from\n"
                          "                         1 to 100 (default 1); the file's resolution is then\n"
                          "                         96 x N dots per inch, so it prints at the window's size\n"
                          "      --dpi D            store the resolution D (dots per inch, 1 to 65535) instead\n"
                          "      --verify           read every file written back with ZXing-C++ (and zbar\n"
                          "                         where it cannot) and compare it with the text drawn;\n"
                          "                         report each one that differs, and why in French, as\n"
                          "                         the window says it\n"
                          "      --verify-dpi D     the resolution a PDF's labels are read back at, 50 to\n"
                          "                         2400 dots per inch (default 300)\n"
                          "      --batch FILE       one image per line of FILE (\"-\": standard input)\n"
                          "      --module MM        a PDF's narrow bar, in millimetres (0.05 to 10; default\n"
                          "                         0.26, one pixel at 96 dpi); the rest scales with it\n"
                          "      --height MM        a PDF's bars' height in millimetres (0.5 to 1000;\n"
                          "                         default: 58 modules)\n"
                          "      --sheet SHEET      a batch into one PDF of sheets of labels: a4-3x8 (70 x 37 mm),\n"
                          "                         a4-3x7 (70 x 42.3 mm), letter-3x10 (2 5/8 x 1 in, as Avery\n"
                          "                         5160), or PAGEWxPAGEH:LEFT,TOP:COLSxROWS:LABELWxLABELH:GAPX,GAPY\n"
                          "                         in millimetres (LEFT,TOP: the first label's corner)\n"
                          "      --start N          begin at cell N of the first page (a sheet partly used;\n"
                          "                         cells count along the rows from 1)\n"
                          "      --copies N         each line N times, 1 to 1000 (default 1)\n"
                          "  -j, --jobs N           threads for a batch of images (default: one per core;\n"
                          "                         a sheet is laid out by one)\n"
                          "  -h, --help             this help\n"
                          "      --version          the version\n"
                          "\n"
                          "Code 39 takes 0-9, A-Z (lower case is upper-cased), space and - . $ / + %;\n"
                          "Interleaved 2 of 5 takes digits (a leading zero makes the length even);\n"
                          "Code 128 takes the printable ASCII characters (32 to 126);\n"
                          "Codabar takes 0-9, - $ : / . + and a to d, between the start and stop \"a\".\n"
                          "\n"
                          "Size on paper. One narrow bar (a module) is N dots wide, so it measures\n"
                          "25.4 x N / D millimetres. With the default D = 96 x N it is 0.2646 mm whatever\n"
                          "N is: the picture prints at the size the window shows. For a printer, pick N\n"
                          "to match its dots: --scale 3 on a 300-dpi printer prints one module as 3 dots\n"
                          "(0.254 mm), --scale 6 on a 600-dpi printer likewise. For a given module width M\n"
                          "in millimetres, store D = 25.4 x N / M: --scale 4 --dpi 300 gives 0.339 mm.\n"
                          "An SVG has no dots: its width and height in millimetres follow the same rule.\n"
                          "\n"
                          "Batch. Each line of the file (UTF-8; CR LF accepted; a last line without a\n"
                          "line break counts) is drawn with the options given, into the file named by\n"
                          "-o NAME, in which {n} is the line number, {n:05} the same with zeros to five\n"
                          "digits, and {text} the line's text made safe for a file name (\"/\" and control\n"
                          "characters as \"_\", no leading dot, at most 100 bytes). A line that cannot be\n"
                          "drawn (or is empty) is reported with its number and the encoder's message, and\n"
                          "the other lines are still written; a line whose file an earlier line of the\n"
                          "batch has written (under its name, or another linked to it) is reported and\n"
                          "not written. The input is a file, a pipe, a socket or a terminal (a device is\n"
                          "refused), read as it is drawn, of any length, in bounded memory whatever -j;\n"
                          "a line longer than 1 MiB is reported and skipped. Each line is drawn as soon\n"
                          "as it is read when lines come slowly (typed, or through a pipe). A progress\n"
                          "bar shows how far a long batch has got when the messages go to a terminal and\n"
                          "the lines do not come from one. Ctrl+C (SIGINT) or SIGTERM stops a batch\n"
                          "between files: the lines read are finished, nothing is left half written, and\n"
                          "the number written is reported.\n"
                          "\n"
                          "PDF and sheets. A PDF holds the barcode at its true size: each bar a filled\n"
                          "rectangle, the human-readable line in Helvetica centred under the bars. With\n"
                          "--sheet, each line's label is centred in its cell, page after page. A line that\n"
                          "cannot be drawn is reported and skipped: the next line takes its cell. A label\n"
                          "larger than its cell (quiet zones included), a sheet whose labels do not fit\n"
                          "its page, or a size that is zero or less is refused before anything is written\n"
                          "(exit 2, no file). The PDF is made in memory (about 3 MB per 1,000 labels, at\n"
                          "most 100,000 labels) and written whole at the end, or not at all (a refusal,\n"
                          "Ctrl+C). With --verify every label is read back, drawn at --verify-dpi\n"
                          "from the same marks, before the file is written. Print the PDF at 100 % (\"actual\n"
                          "size\"), never \"fit to page\", or the labels miss their stickers.\n"
                          "\n"
                          "Files. Each file appears under its name only once complete, whatever stops\n"
                          "the program and whoever watches the folder; a file replaced keeps its old\n"
                          "content until then (and under its other hard links). A folder, a device, a\n"
                          "pipe or a broken link is never written to; a link to a file writes that file.\n"
                          "Characters that are not printable are shown in messages by their code\n"
                          "(U+0009, U+001B ...).\n"
                          "\n"
                          "What readers cannot read (measured with ZXing-C++ and zbar; --verify reports\n"
                          "these as unreadable, except Code 39 with -p, which zbar reads, and too short\n"
                          "symbols count as unreadable even though zbar reads them):\n"
                          "  - Code 128 with -p: the wider spaces break its module widths (neither reads it);\n"
                          "  - Code 39 with -p when the text or its check character holds $ / + %: their\n"
                          "    three wide spaces grow out of ratio (ZXing-C++ refuses them, zbar reads them);\n"
                          "  - Interleaved 2 of 5 with fewer than 6 digits drawn, leading zero and check\n"
                          "    digit included (ZXing-C++; zbar reads them);\n"
                          "  - Codabar with a single character (ZXing-C++; zbar reads it), and Codabar\n"
                          "    texts holding a, b, c or d: readers take them for start and stop characters;\n"
                          "  - an image narrower than the barcode (-w), which cuts it off.\n"
                          "zbar also misses about one Code 128 symbol in ten at one pixel per module\n"
                          "(\"|\" or \"Hello\", say; ZXing-C++ reads them); from --scale 2 on it reads them.\n"
                          "\n"
                          "Exit status: 0 written; 1 a file could not be written (nothing is left\n"
                          "behind) or the batch file could not be read; 2 bad options, or a text (a line)\n"
                          "that cannot be drawn: the message is printed and no file is written for it;\n"
                          "3 --verify found a file that does not read back as drawn; 4 --verify cannot\n"
                          "read back at all, its reader module missing (the files are written; said\n"
                          "once). When a batch has several kinds of failure, 1 comes before 4, 4 before\n"
                          "3, and 3 before 2. 130 (SIGINT) or 143 (SIGTERM): the batch was stopped. A\n"
                          "failure to write the standard output (--help to a full device) is reported\n"
                          "and exits 1.\n";

namespace {

std::optional<long long> ParseWhole(const std::string& s, long long low, long long high)
{
    if (s.empty() || s.size() > 18 || s.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long long v = std::stoll(s);
    if (v < low || v > high)
        return std::nullopt;
    return v;
}

// -s's names, in the order of the symbologies.
constexpr std::string_view kSymbologyNames[] = {"code39", "i2of5", "code128", "codabar"};

// What every file type can record (a JPEG holds it in 16 bits).
constexpr double kMaxDpi = 65535;

std::optional<double> ParseNumber(const std::string& s, double low, double high)
{
    if (s.empty() || s.find_first_not_of("0123456789.") != std::string::npos)
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < low || v > high)
        return std::nullopt;
    return v;
}

} // namespace

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args, std::string& why)
{
    CommandLine cl;
    auto fail = [&](std::string w) -> std::optional<CommandLine> {
        why = std::move(w);
        return std::nullopt;
    };
    auto setText = [&](const std::string& arg) -> bool {
        if (cl.text) {
            why = "only one text can be given";
            return false;
        }
        std::u16string t;
        if (!Utf8ToUtf16(arg, t)) {
            why = "the text is not valid UTF-8";
            return false;
        }
        cl.text = std::move(t);
        return true;
    };

    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool inlineValue = false;
        if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
            value = arg.substr(arg.find('=') + 1);
            arg = arg.substr(0, arg.find('='));
            inlineValue = true;
        }
        auto take = [&]() -> std::optional<std::string> {
            if (inlineValue)
                return value;
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };

        const bool flag = arg == "-h" || arg == "--help" || arg == "--version" || arg == "-p"
            || arg == "--print-optimized" || arg == "--no-label" || arg == "-c" || arg == "--check"
            || arg == "--verify";
        if (flag && inlineValue)
            return fail(arg + " takes no value (\"" + args[i] + "\")");

        if (arg == "--") {
            for (std::size_t k = i + 1; k < args.size(); ++k)
                if (!setText(args[k]))
                    return std::nullopt;
            break;
        } else if (arg == "-h" || arg == "--help") {
            cl.help = true;
            return cl;
        } else if (arg == "--version") {
            cl.version = true;
            return cl;
        } else if (arg == "-s" || arg == "--symbology") {
            const auto v = take();
            if (!v)
                return fail(arg + " needs a symbology");
            std::string name = *v;
            for (char& c : name)
                c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            const auto known = std::find(std::begin(kSymbologyNames), std::end(kSymbologyNames), name);
            if (known == std::end(kSymbologyNames))
                return fail("unknown symbology \"" + *v + "\"");
            cl.request.symbology = static_cast<Symbology>(known - std::begin(kSymbologyNames));
        } else if (arg == "-p" || arg == "--print-optimized") {
            cl.request.options.widenSpaces = 1;
        } else if (arg == "--no-label") {
            cl.request.options.addLabel = 0;
        } else if (arg == "-c" || arg == "--check") {
            cl.request.options.addCheck = 1;
        } else if (arg == "--verify") {
            cl.verify = true;
        } else if (arg == "-w" || arg == "--width") {
            const auto v = take();
            const auto w = v ? ParseWhole(*v, 1, kMaxWidth) : std::nullopt;
            if (!w)
                return fail(arg + " needs a width from 1 to " + std::to_string(kMaxWidth) + " pixels");
            cl.request.width = static_cast<int>(*w);
        } else if (arg == "-o" || arg == "--output") {
            const auto v = take();
            if (!v || v->empty())
                return fail(arg + " needs a file name");
            cl.output = *v;
        } else if (arg == "--quality") {
            const auto v = take();
            const auto q = v ? ParseWhole(*v, 20, 100) : std::nullopt;
            if (!q)
                return fail("--quality needs a number from 20 to 100");
            cl.quality = static_cast<int>(*q);
        } else if (arg == "--scale") {
            const auto v = take();
            const auto n = v ? ParseWhole(*v, 1, 100) : std::nullopt;
            if (!n)
                return fail("--scale needs a whole number from 1 to 100");
            cl.scale = static_cast<int>(*n);
        } else if (arg == "--dpi") {
            const auto v = take();
            const auto d = v ? ParseNumber(*v, 1, kMaxDpi) : std::nullopt;
            if (!d)
                return fail(
                    "--dpi needs a number of dots per inch from 1 to " + std::to_string(static_cast<int>(kMaxDpi)));
            cl.dpi = *d;
        } else if (arg == "-j" || arg == "--jobs") {
            const auto v = take();
            const auto n = v ? ParseWhole(*v, 1, 256) : std::nullopt;
            if (!n)
                return fail(arg + " needs a number of threads from 1 to 256");
            cl.jobs = static_cast<int>(*n);
        } else if (arg == "--module" || arg == "--height") {
            const bool module = arg == "--module";
            const auto v = take();
            const auto mm = v ? ParseNumber(*v, module ? 0.05 : 0.5, module ? 10 : 1000) : std::nullopt;
            if (!mm)
                return fail(arg
                    + (module ? " needs a width in millimetres from 0.05 to 10"
                              : " needs a height in millimetres from 0.5 to 1000"));
            (module ? cl.module : cl.barHeight) = *mm;
        } else if (arg == "--verify-dpi") {
            const auto v = take();
            const auto d = v ? ParseNumber(*v, 50, 2400) : std::nullopt;
            if (!d)
                return fail("--verify-dpi needs a number of dots per inch from 50 to 2400");
            cl.verifyDpi = *d;
        } else if (arg == "--sheet") {
            const auto v = take();
            if (!v || v->empty())
                return fail("--sheet needs a sheet: a4-3x8, a4-3x7, letter-3x10 or its geometry");
            cl.sheet = *v;
        } else if (arg == "--start" || arg == "--copies") {
            const auto v = take();
            const auto n = v ? ParseWhole(*v, 1, arg == "--start" ? 10000 : 1000) : std::nullopt;
            if (!n)
                return fail(
                    arg + (arg == "--start" ? " needs a cell number from 1" : " needs a number from 1 to 1000"));
            (arg == "--start" ? cl.start : cl.copies) = static_cast<int>(*n);
        } else if (arg == "--batch") {
            const auto v = take();
            if (!v || v->empty())
                return fail("--batch needs a file name, or - for standard input");
            cl.batch = *v;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option \"" + args[i] + "\"");
        } else if (!setText(args[i])) {
            return std::nullopt;
        }
    }
    if (cl.output.empty())
        return fail("no output file (-o FILE)");
    if ((cl.start || cl.copies) && !cl.sheet)
        return fail("--start and --copies are for a sheet (--sheet)");
    if (cl.sheet && !cl.batch)
        return fail("--sheet lays out a batch (--batch FILE)");
    if (cl.batch && cl.text)
        return fail("a batch takes its texts from the file, not from the command line");
    if (!cl.batch && (!cl.text || cl.text->empty()))
        return fail("no text to draw");
    return cl;
}

} // namespace zebrix::cli
