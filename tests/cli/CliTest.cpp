// zebrix-cli as a user runs it on one text: exit codes, messages, files that
// scan and hold the painter's pixels, and a program that needs neither Qt
// nor the system's fonts.
#include "CliRun.h"
#include "cli/Layout.h"

using namespace zebrix;
using test::RunZebrixCli;
using test::TempDir;

namespace {

std::uint32_t U32(const std::string& b, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<std::uint8_t>(b.at(at + i));
    return v;
}

} // namespace

TEST(Cli, WritesEachFormatThatScansWithThePaintersPixels)
{
    const TempDir dir;
    const std::u16string text = u"Zebrix 1.0";
    const Options options{0, 1, 0};
    const int width = cli::LayOut({Symbology::Code128, text}).width;
    Drawing bars = Encode(Symbology::Code128, text, options, width);
    const Bitmap painted = test::Painted(Symbology::Code128, text, options, width);
    Bitmap barsOnly(width, 67); // an SVG read back: its bars, not its label
    bars.labelShown = false;
    PaintBars(bars, barsOnly);
    for (const std::string name : {"a.bmp", "a.png", "a.jpg", "a.JPEG", "a.svg"}) {
        const auto r = RunZebrixCli({"-s", "code128", "-o", dir / name, "Zebrix 1.0"});
        ASSERT_EQ(r.status, 0) << r.err;
        const Bitmap read = test::ReadPicture(dir / name);
        EXPECT_EQ(test::Scan(read, Symbology::Code128, options), std::vector<std::string>{"Zebrix 1.0"}) << name;
        if (name.ends_with(".svg"))
            EXPECT_TRUE(test::Same(read, barsOnly));
        else if (name.ends_with(".bmp") || name.ends_with(".png"))
            EXPECT_TRUE(test::Same(read, painted)) << name;
        else
            EXPECT_EQ(read.h, 67);
    }
    EXPECT_EQ(test::Slurp(dir / "a.bmp").at(28), 1); // one bit per pixel
}

TEST(Cli, ScaleBlowsPixelsUpAndStoresTheResolution)
{
    const TempDir dir;
    const int width = cli::LayOut({Symbology::Code39, u"X"}).width;
    const Bitmap one = test::Painted(Symbology::Code39, u"X", Options{0, 1, 0}, width);
    const struct {
        std::vector<std::string> args;
        int scale;
        std::uint32_t dotsPerMeter;
    } rows[] = {{{}, 1, 3780}, {{"--scale", "3"}, 3, 11339}, {{"--scale", "3", "--dpi", "300"}, 3, 11811}};
    for (const auto& row : rows) {
        std::vector<std::string> args = row.args;
        args.insert(args.end(), {"-o", dir / "s.bmp", "X"});
        ASSERT_EQ(RunZebrixCli(args).status, 0);
        const Bitmap read = test::ReadPicture(dir / "s.bmp");
        ASSERT_EQ(read.w, width * row.scale);
        ASSERT_EQ(read.h, 67 * row.scale);
        for (int y = 0; y < read.h; ++y)
            for (int x = 0; x < read.w; ++x)
                ASSERT_EQ(read.black(x, y), one.black(x / row.scale, y / row.scale)) << x << "," << y;
        const std::string bmp = test::Slurp(dir / "s.bmp");
        EXPECT_EQ(U32(bmp, 38), row.dotsPerMeter);
        EXPECT_EQ(U32(bmp, 42), row.dotsPerMeter);
    }
}

// An SVG states its size in millimetres at its resolution, as short as it reads.
TEST(Cli, AnSvgIsAsLargeOnPaperAsItsResolutionSays)
{
    const TempDir dir;
    const struct {
        const char* dpi;
        const char* size;
    } rows[] = {
        {"96", "width=\"23.0188mm\" height=\"17.7271mm\""},
        {"254", "width=\"8.7mm\" height=\"6.7mm\""},
        {"2540", "width=\"0.87mm\" height=\"0.67mm\""},
        {"25", "width=\"88.392mm\" height=\"68.072mm\""},
    };
    for (const auto& row : rows) {
        ASSERT_EQ(RunZebrixCli({"--dpi", row.dpi, "-o", dir / "a.svg", "A"}).status, 0);
        EXPECT_NE(test::Slurp(dir / "a.svg").find(row.size), std::string::npos) << row.dpi << " dpi";
    }
}

TEST(Cli, DefaultWidthHoldsTheBarsAQuietZoneAndTheLabel)
{
    EXPECT_EQ(cli::LayOut({Symbology::Code39, u"A"}).width, 66 + 1 + 20); // last bar at 66
    // A long Code 128 label runs past the bars: the picture is as wide as the label.
    const cli::RenderRequest wide{Symbology::Code128, std::u16string(88, u'W'), Options{1, 1, 0}};
    const cli::Layout layout = cli::LayOut(wide);
    EXPECT_GE(layout.width, layout.drawing.labelPixelX() + LabelFont::TextWidth(layout.drawing.label));
    EXPECT_GT(layout.width, layout.drawing.end + 20);
}

TEST(Cli, AnInvalidCharacterGivesTheMessageAndNoFile)
{
    const TempDir dir;
    const struct {
        std::vector<std::string> args;
        std::string message;
    } rows[] = {
        {{"AB*C"}, "* : Caractère non valide !"},
        {{"-s", "code128", "né"}, "é : Caractère(s) non valide(s)"}, // the character named, as elsewhere
        {{"-s", "code128", "A\xF0\x90\x80\x80"}, "\xF0\x90\x80\x80 : Caractère(s) non valide(s)"}, // U+10000 whole
        {{"-s", "i2of5", "12a"}, "a : Caractère non valide"},
        {{"-s", "i2of5", " 1é"}, "  : Caractère non valide"}, // the first bad character, a blank
        {{"-s", "codabar", "12e"}, "e : Caractère non valide"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> args{"-o", dir / "x.png"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto r = RunZebrixCli(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "zebrix-cli: " + row.message + "\n");
        EXPECT_TRUE(dir.entries().empty());
    }
}

TEST(Cli, UsageErrorsExitTwoAndWriteNothing)
{
    const TempDir dir;
    const std::string out = dir / "x.png";
    const std::vector<std::string> rows[] = {
        {"-o", out, ""}, {"-o", out}, {"ABC"}, {"-s", "qr", "-o", out, "A"}, {"-w", "0", "-o", out, "A"},
        {"-w", "abc", "-o", out, "A"}, {"--quality", "19", "-o", out, "A"}, {"--bogus", "-o", out, "A"},
        {"-o", out, "A", "B"}, {"-o", dir / "x.gif", "A"}, {"--scale", "0", "-o", out, "A"},
        {"--scale", "1.5", "-o", out, "A"}, {"--scale", "101", "-o", out, "A"}, {"--dpi", "-3", "-o", out, "A"},
        {"--scale", "100", "-w", "65535", "-o", out, "A"}, // too many dots: refused, not attempted
    };
    for (const auto& args : rows) {
        const auto r = RunZebrixCli(args);
        EXPECT_EQ(r.status, 2) << args.size() << " " << args.front();
        EXPECT_FALSE(r.err.empty());
        EXPECT_TRUE(dir.entries().empty());
    }
    const auto help = RunZebrixCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--symbology"), std::string::npos);
}

TEST(Cli, AFailedWriteSaysSoAndLeavesNothingBehind)
{
    const TempDir dir;
    std::filesystem::create_directory(dir / "taken.png");
    std::filesystem::create_symlink("/dev/full", dir / "device.png"); // never written into
    for (const std::string& target : {dir / "missing/x.png", dir / "taken.png", dir / "device.png"}) {
        const auto r = RunZebrixCli({"-o", target, "A"});
        EXPECT_EQ(r.status, 1) << target;
        EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"device.png", "taken.png"}));
}

TEST(Cli, AHugeTextIsRefusedClearlyUnlessCropped)
{
    const TempDir dir;
    const std::string text(20000, '7');
    auto r = RunZebrixCli({"-o", dir / "huge.png", text});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("pixels wide"), std::string::npos) << r.err;
    r = RunZebrixCli({"-w", "481", "-o", dir / "huge.png", text});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(test::Same(test::ReadPicture(dir / "huge.png"), test::Painted(Symbology::Code39, std::u16string(20000, u'7'), Options{0, 1, 0}, 481)));
}

// The dynamic loader lists every library it loads, those loaded later by
// --verify included: none may be Qt's.
TEST(Cli, LoadsNoQtLibraryInAnyMode)
{
    const TempDir dir;
    test::Spill(dir / "list.txt", "A\nB\n");
    const std::vector<std::string> rows[] = {
        {"-o", dir / "a.bmp", "A"}, {"-o", dir / "a.png", "A"}, {"-o", dir / "a.svg", "A"},
        {"-o", dir / "a.jpg", "A"}, {"--verify", "-o", dir / "v.bmp", "A"},
        {"--verify", "--batch", dir / "list.txt", "-o", dir / "{n}.png"},
    };
    for (const auto& args : rows) {
        const auto r = RunZebrixCli(args, {}, {"LD_DEBUG=libs"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("libc.so"), std::string::npos) << "no loader trace";
        EXPECT_EQ(r.err.find("libQt6"), std::string::npos) << args.back() << "\n" << r.err;
        if (args.front() == "--verify") {
            EXPECT_NE(r.err.find("zebrix-cli-reader.so"), std::string::npos);
        }
    }
}

// Labels come from the glyphs compiled into the program: without any font
// configuration the files are byte for byte the same.
TEST(Cli, LabelsNeedNoFontConfiguration)
{
    const TempDir dir;
    for (const std::string ext : {".bmp", ".png", ".svg"}) {
        const std::vector<std::string> args{"-s", "code128", "-o", "", "Hello, World! ~{|} Wg@%"};
        auto usual = args, bare = args;
        usual[3] = dir / ("usual" + ext);
        bare[3] = dir / ("bare" + ext);
        ASSERT_EQ(RunZebrixCli(usual).status, 0);
        ASSERT_EQ(RunZebrixCli(bare, {}, {"FONTCONFIG_FILE=/dev/null", "FONTCONFIG_PATH=/nonexistent"}).status, 0);
        EXPECT_EQ(test::Slurp(usual[3]), test::Slurp(bare[3])) << ext;
    }
}
