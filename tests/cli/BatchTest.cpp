// Batches as a user runs them: one file per line, bad lines reported by
// number, nothing overwritten within a batch, and --verify.
#include "CliRun.h"

using namespace zebrix;
using test::RunZebrixCli;
using test::TempDir;

namespace {

std::vector<std::string> ReadBack(const std::string& path, Symbology symbology = Symbology::Code39)
{
    return test::Scan(test::ReadPicture(path), symbology, Options{0, 1, 0});
}

} // namespace

TEST(Batch, OneImagePerLineAndBadLinesByNumber)
{
    const TempDir dir;
    std::filesystem::create_directory(dir / "out");
    // CR LF, a bad character, an empty line, bad UTF-8, a last line without a break.
    test::Spill(dir / "list.txt", "CODE39\r\nA*B\r\n\r\nabc\r\n\xC3(\r\n-. $/+%\r\nLAST");
    const auto r = RunZebrixCli({"--batch", dir / "list.txt", "-o", dir / "out/{n:03}-{text}.bmp"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "line 2: * : Caractère non valide !\n"
                     "line 3: empty line, nothing to draw\n"
                     "line 5: not valid UTF-8\n");
    EXPECT_TRUE(r.out.empty());
    const std::pair<std::string, std::u16string> written[] = {
        {"001-CODE39.bmp", u"CODE39"}, {"004-abc.bmp", u"abc"}, {"006--. $_+%.bmp", u"-. $/+%"}, {"007-LAST.bmp", u"LAST"}};
    EXPECT_EQ(dir.entries("out").size(), std::size(written));
    for (const auto& [name, text] : written) {
        const Bitmap read = test::ReadPicture(dir / ("out/" + name));
        EXPECT_TRUE(test::Same(read, test::Painted(Symbology::Code39, text, Options{0, 1, 0}, read.w))) << name;
    }
    EXPECT_EQ(ReadBack(dir / "out/004-abc.bmp"), std::vector<std::string>{"ABC"});
}

TEST(Batch, StandardInputAndTheOptionsOfASingleDrawing)
{
    const TempDir dir;
    const auto r = RunZebrixCli({"--batch", "-", "-s", "code128", "-p", "--no-label", "-w", "300", "-o", dir / "{n}.png"},
                                "Hello\nWorld\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()); // not a terminal: no progress bar
    EXPECT_TRUE(test::Same(test::ReadPicture(dir / "2.png"), test::Painted(Symbology::Code128, u"World", Options{1, 0, 0}, 300)));
}

TEST(Batch, ALaterLineNeverOverwritesAnEarlierOne)
{
    const TempDir dir;
    // "A/B" and "A_B" make the same file name.
    test::Spill(dir / "a.txt", "A/B\nA_B\nC\n");
    auto r = RunZebrixCli({"-s", "code128", "--batch", dir / "a.txt", "-o", dir / "{text}.bmp"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("line 2: " + dir / "A_B.bmp" + " was already written by an earlier line", 0), 0u) << r.err;
    EXPECT_EQ(ReadBack(dir / "A_B.bmp", Symbology::Code128), std::vector<std::string>{"A/B"});
    EXPECT_TRUE(std::filesystem::exists(dir / "C.bmp"));

    // A name without fields: the first drawable line takes it, the others are refused.
    test::Spill(dir / "b.txt", "A*B\nFIRST\nSECOND\n");
    r = RunZebrixCli({"--batch", dir / "b.txt", "-o", dir / "same.bmp"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "line 1: * : Caractère non valide !\nline 3: " + dir / "same.bmp"
                         + " was already written by an earlier line of this batch; not overwritten\n");
    EXPECT_EQ(ReadBack(dir / "same.bmp"), std::vector<std::string>{"FIRST"});
}

TEST(Batch, MessagesComeInLineOrderFromAllThreads)
{
    const TempDir dir;
    std::string lines, expected;
    for (int i = 1; i <= 400; ++i) {
        if (i % 7 == 0) {
            lines += "BAD_" + std::to_string(i) + "\n";
            expected += "line " + std::to_string(i) + ": _ : Caractère non valide !\n";
        } else {
            lines += "OK " + std::to_string(i) + "\n";
        }
    }
    const auto r = RunZebrixCli({"--batch", "-", "-j", "2", "-o", dir / "{n:04}.bmp"}, lines);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(dir.entries().size(), 400u - 400 / 7);
}

TEST(Batch, BadNamesAndInputsAreRefusedUpFront)
{
    const TempDir dir;
    const std::string list = dir / "l.txt";
    test::Spill(list, "A\n");
    test::Spill(dir / "empty.txt", "");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string says;
    } rows[] = {
        {{"--batch", list, "-o", dir / "x{foo}.bmp"}, 2, "zebrix-cli: "},
        {{"--batch", list, "-o", dir / "{text}"}, 2, "zebrix-cli: "},
        {{"--batch", list, "-o", dir / "{n}.gif"}, 2, "zebrix-cli: "},
        {{"--batch", list, "-o", dir / "{n}.bmp", "TEXT"}, 2, "zebrix-cli: "},
        {{"--batch", list}, 2, "zebrix-cli: "},
        {{"--batch", dir / "empty.txt", "-o", dir / "{n}.bmp"}, 2, "no lines to draw"},
        {{"--batch", dir / "missing.txt", "-o", dir / "{n}.bmp"}, 1, "cannot read"},
        {{"--batch", list, "-o", dir / "none/{n}.bmp"}, 1, "line 1: cannot write"},
    };
    for (const auto& row : rows) {
        const auto r = RunZebrixCli(row.args);
        EXPECT_EQ(r.status, row.status) << row.args.back();
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"empty.txt", "l.txt"}));
}

TEST(Verify, CatchesWhatDoesNotReadBack)
{
    const TempDir dir;
    // Written, then reported with the window's reasons: wider spaces break
    // Code 128, a narrow picture cuts the bars, and readers want some length.
    const struct {
        std::vector<std::string> args;
        std::string says;
    } bad[] = {
        {{"-s", "code128", "-p", "-o", dir / "p.bmp", "Hello"}, "p.bmp: does not read back: Les espaces élargis"},
        {{"-w", "60", "-o", dir / "w.png", "HELLO"}, "w.png: does not read back: Le code barre est coupé au bord droit de l'image : élargissez l'image (-w)."},
        {{"-s", "i2of5", "-o", dir / "i2.png", "1234"}, "i2.png: does not read back: Trop court"},
    };
    for (auto row : bad) {
        row.args.insert(row.args.begin(), "--verify");
        const auto r = RunZebrixCli(row.args);
        EXPECT_EQ(r.status, 3);
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
        EXPECT_TRUE(std::filesystem::exists(row.args[row.args.size() - 2]));
    }

    // Every format reads back; the Code 39 check character is checked, not
    // compared; Interleaved 2 of 5 compares the digits drawn.
    const std::vector<std::string> good[] = {
        {"-c", "-o", dir / "a.bmp", "code39"}, {"-c", "-o", dir / "a.png", "code39"},
        {"-c", "-o", dir / "a.jpg", "code39"}, {"-c", "-o", dir / "a.svg", "code39"},
        {"-s", "i2of5", "-c", "-o", dir / "i.bmp", "1234"}, {"-p", "-o", dir / "d.png", "A$B"}, // zbar reads it
    };
    for (auto args : good) {
        args.insert(args.begin(), "--verify");
        const auto r = RunZebrixCli(args);
        EXPECT_EQ(r.status, 0) << args.back() << r.err;
        EXPECT_TRUE(r.err.empty());
    }

    // In a batch: each line that does not read back, by number; a bad line
    // and an unreadable one: the unreadable file decides.
    test::Spill(dir / "c.txt", "12\n1\na1\n-$:/.+\nX\n");
    const auto r = RunZebrixCli({"--verify", "-s", "codabar", "--batch", dir / "c.txt", "-o", dir / "c{n}.svg"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.rfind("line 2: " + dir / "c2.svg" + ": does not read back: Trop court", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("line 3: " + dir / "c3.svg: does not read back: Aucun lecteur ne le lit (attendu : « a1 »)."), std::string::npos);
    EXPECT_NE(r.err.find("line 5: X : Caractère non valide"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 3);
    for (const char* name : {"c1.svg", "c2.svg", "c3.svg", "c4.svg"})
        EXPECT_TRUE(std::filesystem::exists(dir / name));
}
