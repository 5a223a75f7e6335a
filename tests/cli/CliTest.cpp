// zebrix-cli as a user runs it: files that scan and hold the painter's pixels,
// messages and exit codes, batches and --verify; and its parts (file names,
// lines, UTF-8, the progress line).
#include "CliRun.h"
#include "barcode/Utf.h"
#include "cli/Batch.h"
#include "cli/Layout.h"
#include "cli/LineInput.h"
#include "cli/NameTemplate.h"

using namespace zebrix;
using namespace zebrix::test;

namespace {

std::uint32_t U32(const std::string& b, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 4; i-- > 0;)
        v = v << 8 | static_cast<std::uint8_t>(b.at(at + i));
    return v;
}

Strings With(Strings args, const Strings& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

int Width(Symbology symbology, std::u16string_view text) { return cli::LayOut({symbology, std::u16string(text)}).width; }

} // namespace

// Every format scans; BMP and PNG hold the painter's pixels, an SVG its bars;
// no Qt library and no font configuration is needed for any.
TEST(Cli, WritesEachFormatThatScansWithThePaintersPixels)
{
    const TempDir dir;
    const std::u16string text = u"Hello, World! ~{|} Wg@%";
    const int width = Width(Symbology::Code128, text);
    for (const std::string name : {"a.bmp", "a.png", "a.jpg", "a.JPEG", "a.svg"}) {
        SCOPED_TRACE(name);
        const auto r = RunZebrixCli({"-s", "code128", "-o", dir / name, "Hello, World! ~{|} Wg@%"}, {},
                                    {"LD_DEBUG=libs", "FONTCONFIG_FILE=/dev/null", "FONTCONFIG_PATH=/nonexistent"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(Has(r.err, "libc.so")) << "no loader trace";
        EXPECT_FALSE(Has(r.err, "libQt6") || Has(r.err, "libfontconfig")) << r.err;
        EXPECT_EQ(Scan(dir / name, Symbology::Code128), Strings{"Hello, World! ~{|} Wg@%"});
        if (!name.ends_with("PEG") && !name.ends_with("jpg"))
            EXPECT_TRUE(HoldsPainted(dir / name, Symbology::Code128, text, {0, 1, 0}, width, !name.ends_with("svg")));
        else
            EXPECT_EQ(ReadPicture(dir / name).h, 67);
    }
    EXPECT_EQ(Slurp(dir / "a.bmp").at(28), 1); // one bit per pixel
}

TEST(Cli, ScaleBlowsPixelsUpAndStoresTheResolution)
{
    const TempDir dir;
    const struct {
        Strings args;
        int scale;
        std::uint32_t dotsPerMeter;
    } rows[] = {{{}, 1, 3780}, {{"--scale", "3"}, 3, 11339}, {{"--scale", "3", "--dpi", "300"}, 3, 11811}};
    for (const auto& row : rows) {
        const std::string name = dir / (std::to_string(row.scale) + std::to_string(row.args.size()) + ".bmp");
        ASSERT_EQ(RunZebrixCli(With(row.args, {"-o", name, "X"})).status, 0);
        EXPECT_TRUE(row.scale > 1 || HoldsPainted(name, Symbology::Code39, u"X", {0, 1, 0}, Width(Symbology::Code39, u"X")));
        const Bitmap read = ReadPicture(name), one = ReadPicture(dir / "10.bmp");
        ASSERT_EQ(read.w, one.w * row.scale);
        ASSERT_EQ(read.h, 67 * row.scale);
        for (int y = 0; y < read.h; ++y)
            for (int x = 0; x < read.w; ++x)
                ASSERT_EQ(read.black(x, y), one.black(x / row.scale, y / row.scale)) << x << "," << y;
        const std::string bmp = Slurp(name);
        EXPECT_EQ(U32(bmp, 38), row.dotsPerMeter);
        EXPECT_EQ(U32(bmp, 42), row.dotsPerMeter);
    }
}

// An SVG states its size in millimetres at its resolution, as short as it reads.
TEST(Cli, AnSvgIsAsLargeOnPaperAsItsResolutionSays)
{
    const TempDir dir;
    const std::pair<const char*, const char*> rows[] = {
        {"96", "width=\"23.0188mm\" height=\"17.7271mm\""}, {"254", "width=\"8.7mm\" height=\"6.7mm\""},
        {"2540", "width=\"0.87mm\" height=\"0.67mm\""}, {"25", "width=\"88.392mm\" height=\"68.072mm\""}};
    for (const auto& [dpi, size] : rows) {
        ASSERT_EQ(RunZebrixCli({"--dpi", dpi, "-o", dir / "a.svg", "A"}).status, 0);
        EXPECT_TRUE(Has(Slurp(dir / "a.svg"), size)) << dpi << " dpi";
    }
}

// The default width holds the bars, a quiet zone and a label longer than the bars.
TEST(Cli, DefaultWidthHoldsTheBarsAQuietZoneAndTheLabel)
{
    EXPECT_EQ(Width(Symbology::Code39, u"A"), 66 + 1 + 20); // last bar at 66
    const cli::Layout wide = cli::LayOut({Symbology::Code128, std::u16string(88, u'W'), Options{1, 1, 0}});
    EXPECT_GE(wide.width, wide.drawing.labelPixelX() + LabelFont::TextWidth(wide.drawing.label));
    EXPECT_GT(wide.width, wide.drawing.end + 20);
}

TEST(Cli, AnInvalidCharacterGivesTheMessageAndNoFile)
{
    const TempDir dir;
    const std::pair<Strings, std::string> rows[] = {
        {{"AB*C"}, "* : Caractère non valide !"},
        {{"-s", "code128", "né"}, "é : Caractère(s) non valide(s)"},
        {{"-s", "code128", "A\xF0\x90\x80\x80"}, "\xF0\x90\x80\x80 : Caractère(s) non valide(s)"}, // U+10000 whole
        {{"-s", "i2of5", "12a"}, "a : Caractère non valide"},
        {{"-s", "i2of5", " 1é"}, "  : Caractère non valide"}, // the first bad character, a blank
        {{"-s", "codabar", "12e"}, "e : Caractère non valide"},
    };
    for (const auto& [args, message] : rows) {
        const auto r = RunZebrixCli(With({"-o", dir / "x.png"}, args));
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "zebrix-cli: " + message + "\n");
        EXPECT_TRUE(dir.entries().empty());
    }
}

// Usage errors exit 2, unreadable input or an unwritable folder 1: a message, no file.
TEST(Cli, BadArgumentsAreRefusedUpFrontWithAMessage)
{
    const TempDir dir;
    const std::string png = dir / "x.png", jpg = dir / "a.jpg", list = dir / "l.txt";
    Spill(list, "A\n");
    Spill(dir / "empty.txt", "");
    const std::string any = "zebrix-cli: ";
    const struct {
        Strings args;
        int status;
        std::string says;
    } rows[] = {
        {{"-o", png, ""}, 2, any}, {{"-o", png}, 2, any}, {{"ABC"}, 2, any}, {{"-s", "qr", "-o", png, "A"}, 2, any},
        {{"-w", "0", "-o", png, "A"}, 2, any}, {{"-w", "abc", "-o", png, "A"}, 2, any},
        {{"--bogus", "-o", png, "A"}, 2, any}, {{"-o", png, "A", "B"}, 2, any}, {{"-o", dir / "x.gif", "A"}, 2, any},
        {{"--scale", "0", "-o", png, "A"}, 2, "from 1 to 100"}, {{"--scale", "1.5", "-o", png, "A"}, 2, any},
        {{"--scale", "101", "-o", png, "A"}, 2, "from 1 to 100"},
        {{"--scale", "100", "-w", "65535", "-o", png, "A"}, 2, any}, // too many dots: not attempted
        {{"--dpi", "-3", "-o", png, "A"}, 2, any}, {{"--dpi", "0", "-o", png, "A"}, 2, "from 1 to 65535"},
        {{"--dpi", "70000", "-o", png, "A"}, 2, "from 1 to 65535"},
        {{"--quality", "19", "-o", jpg, "A"}, 2, "from 20 to 100"}, {{"-w", "65535", "-o", jpg, "A"}, 2, "from 1 to 65500"},
        {{"-w", "40000", "--scale", "2", "-o", jpg, "A"}, 2, "from 1 to 32750"},
        {{"-w", "65536", "-o", dir / "a.bmp", "A"}, 2, "from 1 to 65535"},
        {{"--verify=no", "-o", png, "A"}, 2, "--verify takes no value"},
        {{"--no-label=1", "-o", png, "A"}, 2, "--no-label takes no value"}, {{"--help=1"}, 2, "--help takes no value"},
        {{"--batch", list, "-o", dir / "x{foo}.bmp"}, 2, any}, {{"--batch", list, "-o", dir / "{text}"}, 2, any},
        {{"--batch", list, "-o", dir / "{n}.gif"}, 2, any}, {{"--batch", list, "-o", dir / "{n}.bmp", "TEXT"}, 2, any},
        {{"--batch", list}, 2, any}, {{"--batch", dir / "empty.txt", "-o", dir / "{n}.bmp"}, 2, "no lines to draw"},
        {{"--batch", dir / "missing.txt", "-o", dir / "{n}.bmp"}, 1, "cannot read"},
        {{"--batch", list, "-o", dir / "none/{n}.bmp"}, 1, "line 1: cannot write"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        const auto r = RunZebrixCli(row.args);
        EXPECT_EQ(r.status, row.status);
        EXPECT_TRUE(Has(r.err, row.says)) << r.err;
    }
    EXPECT_EQ(dir.entries(), (Strings{"empty.txt", "l.txt"}));
    const auto help = RunZebrixCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(Has(help.out, "--symbology"));
}

TEST(Cli, AHugeTextIsRefusedClearlyUnlessCropped)
{
    const TempDir dir;
    const std::string text(20000, '7');
    auto r = RunZebrixCli({"-o", dir / "huge.png", text});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.err, "pixels wide")) << r.err;
    r = RunZebrixCli({"-w", "481", "-o", dir / "huge.png", text});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(HoldsPainted(dir / "huge.png", Symbology::Code39, std::u16string(20000, u'7'), {0, 1, 0}, 481));
}

// One file per line; CR LF, a bad character, an empty line, bad UTF-8 and a
// last line without a break; bad lines reported by number.
TEST(Batch, OneImagePerLineAndBadLinesByNumber)
{
    const TempDir dir, out;
    Spill(dir / "list.txt", "CODE39\r\nA*B\r\n\r\nabc\r\n\xC3(\r\n-. $/+%\r\nLAST");
    const auto r = RunZebrixCli({"--batch", dir / "list.txt", "-o", out / "{n:03}-{text}.bmp"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "line 2: * : Caractère non valide !\nline 3: empty line, nothing to draw\nline 5: not valid UTF-8\n");
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(out.entries().size(), 4u);
    for (const auto& [name, text] : {std::pair<const char*, std::u16string>{"001-CODE39.bmp", u"CODE39"},
                                     {"004-abc.bmp", u"abc"}, {"006--. $_+%.bmp", u"-. $/+%"}, {"007-LAST.bmp", u"LAST"}})
        EXPECT_TRUE(HoldsPainted(out / name, Symbology::Code39, text, {0, 1, 0}, Width(Symbology::Code39, text))) << name;
    EXPECT_EQ(Scan(out / "004-abc.bmp", Symbology::Code39), Strings{"ABC"});
}

TEST(Batch, StandardInputAndTheOptionsOfASingleDrawing)
{
    const TempDir dir;
    const auto r = RunZebrixCli({"--batch", "-", "-s", "code128", "-p", "--no-label", "-w", "300", "-o", dir / "{n}.png"},
                                "Hello\nWorld\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()); // not a terminal: no progress bar
    EXPECT_TRUE(HoldsPainted(dir / "2.png", Symbology::Code128, u"World", {1, 0, 0}, 300));
}

// A later line never replaces an earlier line's file: the same name after
// cleaning, a name without fields, or a link made before the batch.
TEST(Batch, ALaterLineNeverOverwritesAnEarlierOne)
{
    const TempDir dir, links;
    auto r = RunZebrixCli({"-s", "code128", "--batch", "-", "-o", dir / "{text}.bmp"}, "A/B\nA_B\nC\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("line 2: " + dir / "A_B.bmp" + " was already written by an earlier line", 0), 0u) << r.err;
    EXPECT_EQ(Scan(dir / "A_B.bmp", Symbology::Code128), Strings{"A/B"});
    EXPECT_TRUE(fs::exists(dir / "C.bmp"));
    r = RunZebrixCli({"--batch", "-", "-o", dir / "same.bmp"}, "A*B\nFIRST\nSECOND\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "line 1: * : Caractère non valide !\nline 3: " + dir / "same.bmp" +
                         " was already written by an earlier line of this batch; not overwritten\n");
    EXPECT_EQ(Scan(dir / "same.bmp", Symbology::Code39), Strings{"FIRST"});
    ASSERT_EQ(::symlink("1.bmp", (links / "2.bmp").c_str()), 0);
    ASSERT_EQ(::symlink((links / "1.bmp").c_str(), (links / "3.bmp").c_str()), 0);
    r = RunZebrixCli({"--batch", "-", "-o", links / "{n}.bmp"}, "FIRST\nSECOND\nTHIRD\n");
    EXPECT_EQ(r.status, 2);
    for (const char* n : {"2", "3"})
        EXPECT_TRUE(Has(r.err, "line " + std::string(n) + ": " + links / n + ".bmp was already written")) << r.err;
    EXPECT_EQ(Slurp(links / "1.bmp"), Slurp(dir / "same.bmp")) << "1.bmp overwritten";
}

TEST(Batch, MessagesComeInLineOrderFromAllThreads)
{
    const TempDir dir;
    std::string lines, expected;
    for (int i = 1; i <= 400; ++i) {
        lines += (i % 7 ? "OK " : "BAD_") + std::to_string(i) + "\n";
        expected += i % 7 ? "" : "line " + std::to_string(i) + ": _ : Caractère non valide !\n";
    }
    const auto r = RunZebrixCli({"--batch", "-", "-j", "2", "-o", dir / "{n:04}.bmp"}, lines);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(dir.entries().size(), 400u - 400 / 7);
}

// A file that does not read back is written, then reported with the window's
// reasons (exit 3); every format reads back; in a batch, by line number.
TEST(Verify, CatchesWhatDoesNotReadBack)
{
    const TempDir dir;
    const std::pair<Strings, std::string> bad[] = {
        {{"-s", "code128", "-p", "-o", dir / "p.bmp", "Hello"}, "p.bmp: does not read back: Les espaces élargis"},
        {{"-w", "60", "-o", dir / "w.png", "HELLO"}, "w.png: does not read back: Le code barre est coupé au bord droit "
                                                     "de l'image : élargissez l'image (-w)."},
        {{"-s", "i2of5", "-o", dir / "i2.png", "1234"}, "i2.png: does not read back: Trop court"},
    };
    for (const auto& [args, says] : bad) {
        const auto r = RunZebrixCli(With({"--verify"}, args));
        EXPECT_EQ(r.status, 3);
        EXPECT_TRUE(Has(r.err, says)) << r.err;
        EXPECT_TRUE(fs::exists(args[args.size() - 2]));
    }
    // The Code 39 check character is checked, not compared; Interleaved 2 of 5 compares the digits drawn.
    const Strings good[] = {{"-c", "-o", dir / "a.bmp", "code39"}, {"-c", "-o", dir / "a.png", "code39"},
                            {"-c", "-o", dir / "a.jpg", "code39"}, {"-c", "-o", dir / "a.svg", "code39"},
                            {"-s", "i2of5", "-c", "-o", dir / "i.bmp", "1234"},
                            {"-p", "-o", dir / "d.png", "A$B"}}; // zbar reads it
    for (const auto& args : good) {
        const auto r = RunZebrixCli(With({"--verify"}, args), {}, {"LD_DEBUG=libs"});
        EXPECT_EQ(r.status, 0) << args.back() << r.err;
        EXPECT_TRUE(Has(r.err, "zebrix-cli-reader.so") && !Has(r.err, "libQt6")) << r.err;
    }
    // A bad line and an unreadable one: the unreadable file decides.
    Spill(dir / "c.txt", "12\n1\na1\n-$:/.+\nX\n");
    const auto r = RunZebrixCli({"--verify", "-s", "codabar", "--batch", dir / "c.txt", "-o", dir / "c{n}.svg"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "line 2: " + dir / "c2.svg" + ": does not read back: Trop court pour les lecteurs courants : il faut au moins 2 caractères "
                         "en Codabar.\nline 3: " + dir / "c3.svg" +
                         ": does not read back: Aucun lecteur ne le lit (attendu : « a1 »).\nline 5: X : Caractère non valide\n");
    for (const char* name : {"c1.svg", "c2.svg", "c3.svg", "c4.svg"})
        EXPECT_TRUE(fs::exists(dir / name));
}

TEST(NameTemplate, FieldsExpandAndBadPatternsSayWhy)
{
    const struct {
        const char* pattern;
        std::u16string text;
        std::string expanded, why; // expanded with n = 7; or refused, saying `why`
    } rows[] = {
        {"out/{n}.bmp", u"X", "out/7.bmp", ""}, {"label-{n:05}.png", u"X", "label-00007.png", ""},
        {"{n:03}-{text}.svg", u"ABC 12", "007-ABC 12.svg", ""}, {"{{n}}-{{text}}.bmp", u"X", "{n}-{text}.bmp", ""},
        {"plain.bmp", u"X", "plain.bmp", ""}, {"{text}.bmp", u"{n}", "{n}.bmp", ""}, // a value is never a field
        {"{text}.bmp", u"A/B/C", "A_B_C.bmp", ""}, {"x{foo}.bmp", u"", "", "{foo}"}, {"x{n.bmp", u"", "", "unclosed"},
        {"{n:5}.bmp", u"", "", ""}, {"{n:00}.bmp", u"", "", ""}, {"{n:019}.bmp", u"", "", ""}, {"{N}.bmp", u"", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pattern);
        std::string why;
        const auto t = cli::NameTemplate::Parse(row.pattern, why);
        ASSERT_EQ(bool(t), !row.expanded.empty()) << why;
        EXPECT_TRUE(t ? t->Expand(7, row.text) == row.expanded : Has(why, row.why)) << why;
    }
    std::string why;
    EXPECT_EQ(cli::NameTemplate::Parse("{n:03}", why)->Expand(123456, u"X"), "123456"); // padding never cuts
}

TEST(NameTemplate, TextsAreMadeSafeForAFileName)
{
    const std::pair<std::u16string, std::string> rows[] = {
        {u"A/B/C", "A_B_C"}, {u"tab\there\x7F" u"end\x0085", "tab_here_end_"}, {u".hidden", "_hidden"}, {u"..", "_."},
        {u"a.b", "a.b"}, {u"", "_"}, {u"Prix: 12€", "Prix: 12€"}, {std::u16string(300, u'7'), std::string(100, '7')},
        {u"x" + std::u16string(60, u'é'), "x" + Utf16ToUtf8(std::u16string(49, u'é'))}, // never half a character
    };
    for (const auto& [text, name] : rows)
        EXPECT_EQ(cli::SafeFileName(text), name);
}

// Lines split from memory and streamed from a file in blocks are the same.
TEST(LineInput, LineBreaksOfEveryKindWhateverTheBlocks)
{
    const std::string longest(cli::kMaxLineBytes, 'y'), tooLong(cli::kMaxLineBytes + 1, 'z'), x(70000, 'x');
    const std::pair<std::string, Strings> rows[] = {
        {"a\nb\nc", {"a", "b", "c"}}, {"a\nb\n", {"a", "b"}}, {"a\r\nb\r\n", {"a", "b"}}, {"a\r\nb", {"a", "b"}},
        {"a\n\nb\n\n", {"a", "", "b", ""}}, {"\xEF\xBB\xBF" "a\nb", {"a", "b"}}, {"\xEF\xBB\xBF", {}},
        {"a\rb\n", {"a\rb"}}, {"", {}}, {"\n", {""}}, {x + "\r\ny", {x, "y"}},
        {longest + "\nshort\n" + tooLong + "\nlast", {longest, "short", "(too long)", "last"}},
    };
    const TempDir dir;
    for (const auto& [input, lines] : rows) {
        SCOPED_TRACE(input.substr(0, 12));
        Strings split, streamed;
        for (const auto l : cli::SplitLines(input))
            split.emplace_back(l.size() > cli::kMaxLineBytes ? "(too long)" : std::string(l));
        EXPECT_EQ(split, lines);
        Spill(dir / "in", input);
        const int fd = ::open((dir / "in").c_str(), O_RDONLY);
        cli::LineReader reader(fd);
        std::string line;
        for (cli::LineReader::Result r; (r = reader.next(line)) != cli::LineReader::End;)
            streamed.push_back(r == cli::LineReader::TooLong ? "(too long)" : line);
        ::close(fd);
        EXPECT_EQ(streamed, lines);
    }
}

TEST(Utf, StrictDecodingBothWays)
{
    std::u16string out;
    EXPECT_TRUE(Utf8ToUtf16("Zebrix é € 😀", out));
    EXPECT_EQ(out, u"Zebrix é € 😀");
    EXPECT_EQ(Utf16ToUtf8(out), "Zebrix é € 😀");
    // Both ends of every sequence length read and write back the same.
    for (const char* good : {"\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80",
                             "\xF4\x8F\xBF\xBF"}) {
        ASSERT_TRUE(Utf8ToUtf16(good, out)) << good;
        EXPECT_EQ(Utf16ToUtf8(out), good);
    }
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "a\x80"})
        EXPECT_FALSE(Utf8ToUtf16(bad, out)) << bad;
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(Progress, BarCountRateAndTimeLeft)
{
    const std::string line = cli::ProgressLine(2500, 10000, 2.0, 79);
    EXPECT_EQ(line.size(), 79u);
    for (const char* part : {"2500/10000 lines", "1250 lines/s", "0:06 left"})
        EXPECT_TRUE(Has(line, part)) << line;
    const auto bar = line.substr(1, line.find(']') - 1);
    EXPECT_EQ(std::count(bar.begin(), bar.end(), '#'), static_cast<long>(bar.size() / 4));
    EXPECT_FALSE(Has(cli::ProgressLine(10000, 10000, 4.0, 79), "left"));
    EXPECT_TRUE(Has(cli::ProgressLine(0, 10, 0.0, 20), "0/10 lines"));
}
