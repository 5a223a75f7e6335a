// zebrix-cli as a user runs it, each run a real process: files that scan and hold the painter's pixels, messages
// and exit codes, batches, --verify, hostile surroundings (signals, links, FIFOs, devices, full disks, closed streams).
#include "CliRun.h"
#include "barcode/Paint.h"
#include "barcode/Utf.h"
#include "cli/Layout.h"
#include "cli/LineInput.h"
#include "cli/NameTemplate.h"
#include "output/files/ImageFiles.h"
#include "verify/Readers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace zebrix;
using namespace std::chrono_literals;
using namespace test;

namespace {

int Width(Symbology s, std::u16string_view text) { return cli::LayOut({s, std::u16string(text)}).width; }
std::uint32_t U32(const std::string& b, std::size_t at) // little-endian, as in a BMP's header
{
    std::uint32_t v = 0;
    return b.size() >= at + 4 ? (std::memcpy(&v, b.data() + at, 4), v) : 0;
}

// A BMP, PNG, JPEG or SVG file (an SVG's bars only) as gray pixels; what ZXing-C++ reads in it.
GrayImage ReadGray(const std::string& path)
{
    GrayImage gray;
    std::string why;
    EXPECT_TRUE(path.ends_with(".svg") ? RasterizeSvgBars(Slurp(path), gray) : ReadImageFile(path, gray, why)) << why;
    return gray;
}
Strings Scan(const std::string& path, Symbology symbology)
{
    const GrayImage gray = ReadGray(path);
    return ReadBarcodes(Reader::ZXing, {gray.pixels.data(), gray.width, gray.height, gray.width}, symbology);
}

// Whether a file holds the drawing painted on a width x 67 picture (label or not), each pixel a scale x scale square.
bool HoldsPainted(const std::string& path, Symbology symbology, std::u16string_view text, Options options, int width,
    bool label = true, int scale = 1)
{
    Drawing drawing = Encode(symbology, text, options, width);
    drawing.labelShown = drawing.labelShown && label;
    Bitmap painted(width, 67);
    PaintBars(drawing, painted);
    const GrayImage read = ReadGray(path);
    bool same = read.width == width * scale && read.height == 67 * scale;
    for (int i = 0; same && i < read.width * read.height; ++i)
        same = (read.pixels[static_cast<std::size_t>(i)] < 128)
            == painted.black(i % read.width / scale, i / read.width / scale);
    return same;
}

// A file as a reader finds it: whole (a BMP as long as its header says, an SVG closed), or not.
bool Whole(const std::string& path)
{
    std::string head(6, '\0'); // a BMP's header only: the files may be large
    std::ifstream(path, std::ios::binary).read(head.data(), 6);
    return path.ends_with(".svg") ? Slurp(path).ends_with("</svg>\n")
                                  : head.starts_with("BM") && U32(head, 2) == fs::file_size(path);
}

} // namespace

// Every format scans, and reads back with --verify; BMP, PNG and JPEG (at --scale 2) hold the painter's pixels, an
// SVG its bars; none needs a Qt library or a font configuration (the reader module is loaded); BMP: one bit a pixel.
TEST(Cli, WritesEachFormatThatScansWithThePaintersPixels)
{
    const TempDir dir;
    const std::u16string text = u"Hello, World! ~{|} Wg@%";
    for (const std::string name : {"a.bmp", "a.png", "a.jpg", "a.JPEG", "a.svg"}) {
        SCOPED_TRACE(name);
        const std::string scale = Has(name, ".j") || Has(name, ".J") ? "2" : "1";
        const Cli r({"--verify", "-s", "code128", "--scale", scale, "-o", dir / name, Utf16ToUtf8(text)}, {},
            {"LD_DEBUG=libs", "FONTCONFIG_FILE=/dev/null", "FONTCONFIG_PATH=/nonexistent"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(Has(r.err, "zebrix-cli-reader.so"));
        EXPECT_FALSE(Has(r.err, "libQt6"));
        EXPECT_FALSE(Has(r.err, "libfontconfig"));
        EXPECT_EQ(Scan(dir / name, Symbology::Code128), Strings{Utf16ToUtf8(text)});
        EXPECT_TRUE(HoldsPainted(dir / name, Symbology::Code128, text, {0, 1, 0}, Width(Symbology::Code128, text),
            !name.ends_with("svg"), std::stoi(scale)));
    }
    EXPECT_EQ(Slurp(dir / "a.bmp").at(28), 1);
}

// The default width holds the bars, a quiet zone and a label longer than the bars; -w crops a text too long for it.
// --scale blows each pixel up and --dpi sets the resolution stated: in a BMP's header, or an SVG's size in mm.
TEST(Cli, ThePictureIsAsWideAsItsBarsAndAsLargeOnPaperAsItsResolutionSays)
{
    EXPECT_EQ(Width(Symbology::Code39, u"A"), 66 + 1 + 20); // last bar at 66
    const cli::Layout wide = cli::LayOut({Symbology::Code128, std::u16string(88, u'W'), Options{1, 1, 0}});
    EXPECT_GE(wide.width, wide.drawing.labelPixelX() + LabelFont::TextWidth(wide.drawing.label));
    EXPECT_GT(wide.width, wide.drawing.end + 20);
    const TempDir dir;
    ASSERT_EQ(Cli({"-w", "481", "-o", dir / "huge.png", std::string(20000, '7')}).status, 0);
    EXPECT_TRUE(HoldsPainted(dir / "huge.png", Symbology::Code39, std::u16string(20000, u'7'), {0, 1, 0}, 481));
    const std::tuple<Strings, std::string, std::string> rows[] = {{{}, "a.bmp", "3780"},
        {{"--scale", "3"}, "b.bmp", "11339"}, {{"--scale", "3", "--dpi=300"}, "c.bmp", "11811"},
        {{"--scale", "1"}, "e.bmp", "3780"}, {{"--dpi", "96"}, "a.svg", "width=\"23.0188mm\" height=\"17.7271mm\""},
        {{"--dpi", "254"}, "b.svg", "width=\"8.7mm\" height=\"6.7mm\""},
        {{"--dpi", "2540"}, "c.svg", "width=\"0.87mm\" height=\"0.67mm\""},
        {{"--dpi", "25"}, "d.svg", "width=\"88.392mm\" height=\"68.072mm\""},
        {{"--verify", "-w", "65535", "--scale", "61"}, "e.svg", "width=\"17339.4688mm\""}, // no dots: no limit
        {{"--no-label"}, "n.svg", "</g>\n</svg>\n"}}; // no label when asked for none
    for (const auto& [args, name, says] : rows) {
        ASSERT_EQ(Cli(With(args, {"-o", dir / name, "X"})).status, 0);
        const std::string bytes = Slurp(dir / name);
        if (name.ends_with("svg")) {
            EXPECT_TRUE(Has(bytes, says)) << bytes;
            continue;
        }
        EXPECT_EQ(std::to_string(U32(bytes, 38)) + "," + std::to_string(U32(bytes, 42)), says + "," + says) << name;
        EXPECT_TRUE(HoldsPainted(dir / name, Symbology::Code39, u"X", {0, 1, 0}, Width(Symbology::Code39, u"X"), true,
            args.empty() ? 1 : std::stoi(args[1])));
    }
}

// Bad input gets its message and no file: an invalid character (exactly this message), a usage error (exit 2), a
// target or a list that cannot be used (exit 1). Nothing waits on a pipe or a device, writes into it, or is left.
TEST(Cli, AnInvalidCharacterGivesTheMessageAndNoFile)
{
    const TempDir dir;
    const std::string png = dir / "x.png", jpg = dir / "a.jpg", list = dir / "l.txt",
                      any = "zebrix-cli: ", device = "not a regular file",
                      input = "not a regular file, a pipe, a socket or a terminal";
    Spill(list, "A\n");
    Spill(dir / "empty.txt", "");
    ASSERT_EQ(::mkfifo((dir / "fifo.bmp").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.png");
    for (const auto& [to, link] : {std::pair{"/dev/full", "full.png"}, {"nothing", "broken.bmp"}})
        fs::create_symlink(to, dir / link);
    if (::mknod((dir / "zero.bmp").c_str(), S_IFCHR | 0600, makedev(1, 5)) != 0) // a link to one where none is made
        fs::create_symlink("/dev/zero", dir / "zero.bmp");
    const std::string zero = dir / "zero.bmp";
    Spill(dir / "locked.bmp", "locked"); // write-protected: refused as by the shell, but to root
    fs::permissions(dir / "locked.bmp", fs::perms::owner_read);
    const bool admin = ::geteuid() == 0;
    const Strings entries = dir.entries();
    const std::tuple<Strings, int, std::string> rows[] = {
        {{"-o", png, "AB*C"}, 2, "zebrix-cli: * : Caractère non valide !\n"},
        {{"-o", png, "-s", "code128", "né"}, 2, "zebrix-cli: é : Caractère(s) non valide(s)\n"},
        {{"-o", png, "-s", "code128", "A\xF0\x90\x80\x80"}, 2,
            "zebrix-cli: \xF0\x90\x80\x80 : Caractère(s) non valide(s)\n"},
        {{"-o", png, "-s", "i2of5", "12a"}, 2, "zebrix-cli: a : Caractère non valide\n"},
        {{"-o", png, "-s", "codabar", "12e"}, 2, "zebrix-cli: e : Caractère non valide\n"},
        {{"-o", png, "-s", "i2of5", " 1é"}, 2, "zebrix-cli:   : Caractère non valide\n"}, // the first bad one, a blank
        {{"-o", png, ""}, 2, any}, {{"-o", png}, 2, any}, {{"ABC"}, 2, any}, {{"-s", "qr", "-o", png, "A"}, 2, any},
        {{"-w", "0", "-o", png, "A"}, 2, any}, {{"-w", "abc", "-o", png, "A"}, 2, any}, {{"-o", png, "A", "B"}, 2, any},
        {{"--bogus", "-o", png, "A"}, 2, any}, {{"-o", dir / "x.gif", "A"}, 2, any},
        {{"--scale", "0", "-o", png, "A"}, 2, "from 1 to 100"}, {{"--scale", "1.5", "-o", png, "A"}, 2, any},
        {{"--scale", "101", "-o", png, "A"}, 2, "from 1 to 100"},
        {{"--dpi", "0", "-o", png, "A"}, 2, "from 1 to 65535"},
        {{"--scale", "100", "-w", "65535", "-o", png, "A"}, 2, any}, // too many dots: not attempted
        {{"--dpi", "70000", "-o", png, "A"}, 2, "from 1 to 65535"},
        {{"-o", png, "--batch"}, 2, "--batch needs a file name"},
        {{"--quality", "19", "-o", jpg, "A"}, 2, "from 20 to 100"},
        {{"-w", "65535", "-o", jpg, "A"}, 2, "from 1 to 65500"},
        {{"-w", "40000", "--scale", "2", "-o", jpg, "A"}, 2, "from 1 to 32750"},
        {{"-w", "65536", "-o", dir / "b.bmp", "A"}, 2, "from 1 to 65535"},
        {{"--verify=no", "-o", png, "A"}, 2, "--verify takes no value"},
        {{"-o", png, std::string(20000, '7')}, 2, "pixels wide"}, {{"--batch", list, "-o", dir / "x{foo}.bmp"}, 2, any},
        {{"--batch", list, "-o", dir / "{text}"}, 2, any}, {{"--batch", list, "-o", dir / "{n}.gif"}, 2, any},
        {{"--batch", list, "-o", dir / "{n}.bmp", "TEXT"}, 2, any}, {{"--batch", list}, 2, any},
        {{"--batch", dir / "empty.txt", "-o", dir / "{n}.bmp"}, 2, "no lines to draw"},
        {{"--batch", dir / "missing.txt", "-o", dir / "{n}.bmp"}, 1, "cannot read"},
        {{"--batch", zero, "-o", dir / "{n}.bmp"}, 1, input},
        {{"--batch", list, "-o", dir / "none/{n}.bmp"}, 1, "line 1: cannot write"},
        {{"--batch", list, "-o", dir / "fifo.bmp"}, 1, device}, {{"-o", dir / "fifo.bmp", "A"}, 1, device},
        {{"-o", dir / "missing/x.png", "A"}, 1, "No such file"}, {{"-o", dir / "folder.png", "A"}, 1, "it is a folder"},
        {{"-o", dir / "broken.bmp", "A"}, 1, "a symbolic link to nothing"}, {{"-o", dir / "full.png", "A"}, 1, device},
        {{"-o", zero, "A"}, 1, device},
        {{"-o", dir / "locked.bmp", "A"}, admin ? 0 : 1, admin ? "" : "Permission denied"}};
    for (const auto& [args, status, says] : rows) {
        const Cli r(args);
        EXPECT_EQ(r.status, status) << ::testing::PrintToString(args);
        EXPECT_TRUE(says.ends_with("\n") ? r.err == says : Has(r.err, says)) << r.err;
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.bmp"));
    EXPECT_EQ(dir.entries(), entries);
    EXPECT_EQ(Slurp(dir / "locked.bmp") == "locked", !admin);
}

// One file a line (one thread), named from the template; a byte-order mark, CR LF, a bad character, an empty line,
// bad UTF-8, a line too long and one as long as allowed (then too wide), a lone CR, a last line without a break.
// A later line never replaces an earlier line's file: the same name after cleaning, or a link made before.
TEST(Batch, OneImagePerLineBadLinesByNumberAndNoFileWrittenTwice)
{
    const TempDir dir, out, same, links;
    const std::string longest(cli::kMaxLineBytes, 'Y'), tooLong(cli::kMaxLineBytes + 1, 'Z');
    Spill(dir / "list.txt",
        "\uFEFFCODE39\r\nA*B\r\n\r\nabc\r\n\xC3(\r\n-. $/+%\r\n" + tooLong + "\n" + longest + "\r\na\rb\nLAST");
    Cli r({"--batch", dir / "list.txt", "-j", "1", "-o", out / "{n:03}-{text}.bmp"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
        "line 2: * : Caractère non valide !\nline 3: empty line, nothing to draw\nline 5: not valid UTF-8\n"
        "line 7: longer than 1 MiB, not drawn\nline 8: the barcode is more than 65535 pixels wide; "
        "images are at most 65535 pixels wide (-w crops it)\nline 9: U+000D : Caractère non valide !\n");
    EXPECT_EQ(out.entries(), (Strings{"001-CODE39.bmp", "004-abc.bmp", "006--. $_+%.bmp", "010-LAST.bmp"}));
    EXPECT_TRUE(HoldsPainted(
        out / "006--. $_+%.bmp", Symbology::Code39, u"-. $/+%", {0, 1, 0}, Width(Symbology::Code39, u"-. $/+%")));
    EXPECT_EQ(Scan(out / "004-abc.bmp", Symbology::Code39), Strings{"ABC"});
    EXPECT_EQ(cli::SplitLines("\uFEFFA\r\nB"), (std::vector<std::string_view>{"A", "B"})); // the same lines in memory
    r = Cli({"-s", "code128", "--batch", "-", "-o", same / "{text}.bmp"}, "A/B\nA_B\nC\n");
    EXPECT_EQ(r.err.rfind("line 2: " + same / "A_B.bmp" + " was already written by an earlier line", 0), 0u) << r.err;
    EXPECT_EQ(Scan(same / "A_B.bmp", Symbology::Code128), Strings{"A/B"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(fs::exists(same / "C.bmp"));
    fs::create_symlink("1.bmp", links / "2.bmp");
    fs::create_symlink(links / "1.bmp", links / "3.bmp");
    r = Cli({"--batch", "-", "-o", links / "{n}.bmp"}, "FIRST\nSECOND\nTHIRD\n");
    EXPECT_EQ(r.status, 2);
    for (const std::string n : {"2", "3"})
        EXPECT_TRUE(Has(r.err, "line " + n + ": " + links / n + ".bmp was already written")) << r.err;
    EXPECT_EQ(Scan(links / "1.bmp", Symbology::Code39), Strings{"FIRST"}) << "1.bmp overwritten";
    fs::create_symlink("T.bmp", links / "L.bmp"); // a line that cannot write takes no file from a later one
    r = Cli({"-s", "code128", "--batch", "-", "-o", links / "{text}.bmp"}, "L\nT\n");
    EXPECT_EQ(r.err, "line 1: cannot write " + links / "L.bmp" + ": a symbolic link to nothing\n");
    EXPECT_EQ(Scan(links / "T.bmp", Symbology::Code128), Strings{"T"});
}

// From standard input, with a single drawing's options, on two threads: messages in line order, no control character.
TEST(Batch, MessagesComeInLineOrderFromAllThreads)
{
    const TempDir dir;
    std::string lines, expected;
    for (int i = 1; i <= 400; ++i) {
        lines += (i % 7 ? "OK " : "BAD_\x01") + std::to_string(i) + "\n";
        expected += i % 7 ? "" : "line " + std::to_string(i) + ": U+0001 : Caractère(s) non valide(s)\n";
    }
    lines += "a\tb\n\x1B[2J\x1B]0;pwned\x07\nab\x7F\n\u202Eabc\n\u009B31m\na\u00A0b\n\uFFA0\n\uFFF9\n\U0001D173\n"
             "\u00AD\n\u034F\n\uE000\n\u061C\n"; // soft hyphen, grapheme joiner, private use, Arabic letter mark
    for (const char* shown : {"401: U+0009", "402: U+001B", "403: U+007F", "404: U+202E", "405: U+009B", "406: U+00A0",
             "407: U+FFA0", "408: U+FFF9", "409: U+1D173", "410: U+00AD", "411: U+034F", "412: U+E000", "413: U+061C"})
        expected += "line " + std::string(shown) + " : Caractère(s) non valide(s)\n";
    const Cli r(
        {"--batch", "-", "-j", "2", "-s", "code128", "-p", "--no-label", "-w", "300", "-o", dir / "{n}.png"}, lines);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(dir.entries().size(), 400u - 400 / 7);
    EXPECT_TRUE(HoldsPainted(dir / "2.png", Symbology::Code128, u"OK 2", {1, 0, 0}, 300));
}

// A file that does not read back is written, then reported with the window's reasons (exit 3; by line in a batch);
// zebrix-cli copied alone, without its reader module, writes the files and says why once (exit 4).
TEST(Verify, CatchesWhatDoesNotReadBack)
{
    const TempDir dir;
    const Cli wide({"--verify", "-s", "code128", "-p", "-o", dir / "p.bmp", "Hello"});
    EXPECT_EQ(wide.status, 3);
    EXPECT_TRUE(Has(wide.err, dir / "p.bmp: does not read back: Les espaces élargis")) << wide.err;
    const Cli cut({"--verify", "-w", "60", "-o", dir / "cut.png", "HELLO"});
    EXPECT_TRUE(Has(cut.err, "coupé au bord droit de l'image : élargissez l'image (-w).")) << cut.err;
    // Wider than a JPEG may be, and alone more than a batch's budget of bytes: it waits for no room.
    const Cli wider(
        {"--verify", "-s", "code128", "-w", "65501", "--scale", "3", "--batch", "-", "-o", dir / "w{n}.bmp"}, "1\n");
    EXPECT_EQ(wider.status, 0) << wider.err;
    Spill(dir / "c.txt", "12\n1\na1\n-$:/.+\nX\n"); // the unreadable files decide the exit code, not the bad line
    const Cli r({"--verify", "-s", "codabar", "--batch", dir / "c.txt", "-o", dir / "c{n}.svg"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err,
        "line 3: " + dir / "c3.svg" + ": does not read back: Aucun lecteur ne le lit (attendu : « a1 »).\n"
            + "line 5: X : Caractère non valide\n"); // zbar reads line 2's single character
    EXPECT_TRUE(fs::exists(dir / "c3.svg"));
    fs::copy_file(ZEBRIX_CLI, dir / "zebrix-cli");
    const Cli alone({"--verify", "--batch", dir / "c.txt", "-o", dir / "{n}.png"}, {}, {}, -1, dir / "zebrix-cli");
    EXPECT_EQ(alone.status, 4);
    EXPECT_EQ(alone.err,
        "line 4: : : Caractère non valide !\nzebrix-cli: --verify cannot read the files back: cannot load "
        "the reader module: zebrix-cli-reader.so not found (files written: 4)\n");
    EXPECT_EQ(Cli({"--verify", "-s", "code39", "-c", "-o", dir / "c.png", "ABC"}).status, 0); // read as "ABCX"
}

// File names from a template: fields (n = 7), text made safe (at most 100 bytes, whole characters), bad ones refused.
TEST(NameTemplate, FieldsExpandAndBadPatternsSayWhy)
{
    const std::tuple<const char*, std::u16string, std::string> rows[] = {{"out/{n}.bmp", u"X", "out/7.bmp"},
        {"label-{n:05}.png", u"X", "label-00007.png"}, {"{n:018}", u"X", "000000000000000007"},
        {"plain.bmp", u"X", "plain.bmp"}, {"{n:03}-{text}.svg", u"ABC 12", "007-ABC 12.svg"},
        {"{{n}}-{{text}}.bmp", u"X", "{n}-{text}.bmp"}, {"{text}.bmp", u"{n}", "{n}.bmp"},
        {"{text}", u"A/B/C", "A_B_C"}, {"{text}", u"tab\there\u007Fend\u0085", "tab_here_end_"},
        {"{text}", u".hidden", "_hidden"}, {"{text}", u"..", "_."}, {"{text}", u"a.b", "a.b"}, {"{text}", u"", "_"},
        {"{text}", u"Prix: 12€", "Prix: 12€"}, {"{text}", std::u16string(300, u'7'), std::string(100, '7')},
        {"{text}", u"x" + std::u16string(60, u'é'), "x" + Utf16ToUtf8(std::u16string(49, u'é'))},
        {"x{foo}.bmp", u"", "refused: {foo}"}, {"x{n.bmp", u"", "refused: unclosed"}, {"{n:5}.bmp", u"", "refused: "},
        {"{n:00}.bmp", u"", "refused: "}, {"{n:019}.bmp", u"", "refused: "}, {"{N}.bmp", u"", "refused: "}};
    for (const auto& [pattern, text, expanded] : rows) {
        std::string why;
        const auto t = cli::NameTemplate::Parse(pattern, why);
        EXPECT_TRUE(
            t ? t->Expand(7, text) == expanded : expanded.starts_with("refused") && Has(why, expanded.substr(9)))
            << pattern << " " << expanded << ": " << why;
    }
    std::string why;
    EXPECT_EQ(cli::NameTemplate::Parse("{n:03}", why)->Expand(123456, u"X"), "123456"); // padding never cuts
}

// Interrupted part-way, even by SIGKILL, a batch leaves only whole files (written aside, then renamed) and no
// temporary one, and says how many it wrote. Lines sent slowly through a pipe, or a socket (as Node hands its
// children), are drawn as they come, then kept. A closed standard output is /dev/null from the start.
TEST(Hardening, ASignalPartWayLeavesWholeFilesAndNoTemporaryOne)
{
    enum Source { File, Pipe, Socket };
    for (const auto& [signal, status, type, source] :
        {std::tuple{SIGINT, 130, ".bmp", File}, {SIGTERM, 143, ".svg", File}, {SIGKILL, 137, ".bmp", File},
            {SIGINT, 130, ".bmp", Pipe}, {SIGINT, 130, ".bmp", Socket}}) {
        const TempDir dir, io;
        Spill(io / "in", Lines(200000));
        int ends[2], err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600); // ends[0]: standard input
        ASSERT_EQ(
            source == Pipe ? ::pipe2(ends, O_CLOEXEC) : ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        const std::size_t want = source == File ? 150 : 2;
        const pid_t pid = Start(
            {"-s", "code128", "--scale", "3", "--batch", source == File ? io / "in" : "-", "-o", dir / "{n}" + type},
            ends[0], -2, err);
        ASSERT_TRUE(source == File || ::write(ends[1], "FIRST\nSECOND\n", 13) == 13);
        for (int i = 0; i < 6000 && dir.entries().size() < want; ++i) // 30 s at most: enough for any machine
            std::this_thread::sleep_for(5ms);
        std::error_code none;
        EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(pid) + "/fd/1", none), fs::path("/dev/null"));
        ::kill(pid, signal);
        EXPECT_EQ(Wait(pid), status) << strsignal(signal) << ", from " << source;
        for (const int fd : {ends[0], ends[1], err})
            ::close(fd);
        const auto names = dir.entries();
        ASSERT_GE(names.size(), want) << "the signal came too early to test anything, or the lines were not drawn";
        EXPECT_LT(names.size(), 200000u) << "the signal came too late to test anything";
        EXPECT_FALSE(names.front().starts_with(".")) << "a temporary file left"; // sorted: the hidden ones first
        for (const auto& name : names)
            EXPECT_TRUE(Whole(dir / name)) << name;
        EXPECT_TRUE(
            signal == SIGKILL || Has(Slurp(io / "err"), ": " + std::to_string(names.size()) + " files written"));
    }
}

// Replacing a file: a link stays a link, a hard-linked twin keeps the old bytes; permissions, owner, group stay;
// new files: umask.
TEST(Hardening, AReplacedFileKeepsItsLinksAndPermissions)
{
    const TempDir dir;
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ASSERT_EQ(Cli({"-o", dir / "new.bmp", "A"}).status, 0);
    EXPECT_EQ(fs::status(dir / "new.bmp").permissions(), fs::perms(0666 & ~mask));
    Spill(dir / "old.bmp", "old");
    fs::permissions(dir / "old.bmp", fs::perms(0664));
    const bool admin = ::geteuid() == 0; // root gives it to nobody; another user keeps it
    ASSERT_TRUE(!admin || ::chown((dir / "old.bmp").c_str(), 65534, 65534) == 0);
    fs::create_hard_link(dir / "old.bmp", dir / "twin.bmp");
    fs::create_symlink("old.bmp", dir / "link.bmp");
    ASSERT_EQ(Cli({"-o", dir / "link.bmp", "NEW"}).status, 0);
    EXPECT_TRUE(Whole(dir / "old.bmp"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.bmp"));
    EXPECT_EQ(Slurp(dir / "twin.bmp"), "old");
    EXPECT_EQ(fs::status(dir / "old.bmp").permissions(), fs::perms(0664));
    struct stat st { };
    ASSERT_EQ(::stat((dir / "old.bmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, admin ? 65534 : ::getuid());
    EXPECT_EQ(st.st_gid, admin ? 65534 : ::getgid());
}

// Run by on_small_disks.sh (ZEBRIX_TEST_FULL_DISK: a full tmpfs, old.bmp and its twin hold "precious"): nothing lost.
TEST(Hardening, AFullDiskLosesNoFile)
{
    const char* full = std::getenv("ZEBRIX_TEST_FULL_DISK");
    if (!full)
        GTEST_SKIP() << "needs a full disk: run through on_small_disks.sh";
    const std::string disk = full;
    for (const Strings& args : {Strings{"-o", disk + "/old.bmp", "A"}, {"--batch", "-", "-o", disk + "/{n}.bmp"},
             {"--batch", "-", "-o", disk + "/old.bmp"}, {"-o", disk + "/a.pdf", "A"},
             {"--batch", "-", "-o", disk + "/old.pdf", "--sheet", "a4-3x8"}}) {
        const Cli r(args, Lines(50));
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(Has(r.err, "No space left on device")) << r.err;
    }
    EXPECT_EQ(Slurp(disk + "/old.bmp"), "precious");
    EXPECT_EQ(Slurp(disk + "/twin.bmp"), "precious");
    EXPECT_EQ(Entries(disk), (Strings{"filler", "old.bmp", "twin.bmp"}));
}

// A full standard output is an error; a reader of the messages that goes away (| head -1), or standard error closed
// (2>&-, when no file may take its place), stops the messages, not the files: every file is whole, no message in one.
TEST(Hardening, ClosedOrFullStandardStreamsStopMessagesNotFiles)
{
    const TempDir io;
    int full = ::open("/dev/full", O_WRONLY), err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600), pipe[2];
    EXPECT_EQ(Wait(Start({"--help"}, -1, full, err)), 1);
    EXPECT_TRUE(Has(Slurp(io / "err"), "cannot write to standard output"));
    ASSERT_EQ(::pipe(pipe), 0);
    ::close(pipe[0]);
    const std::string lines = Lines(400, "OK", "é"); // messages come while other threads write large files
    for (const int errorStream : {pipe[1], -2}) {
        const TempDir dir;
        const Strings args{"-s", "code128", "-j", "8", "--scale", "50", "--batch", "-", "-o", dir / "{n}.bmp"};
        EXPECT_EQ(Cli(args, lines, {}, errorStream).status, 2);
        EXPECT_EQ(dir.entries().size(), 200u);
        for (const auto& name : dir.entries())
            EXPECT_TRUE(Whole(dir / name)) << name;
    }
    for (const int fd : {full, err, pipe[1]})
        ::close(fd);
}
