// zebrix-cli's PDFs as a printer gets them: labels laid out on sheets, read back from the pages that poppler draws
// with ZXing-C++ and zbar, each in its own cell; its text found by pdftotext; its refusals.
#include "CliRun.h"
#include "verify/Readers.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/ioctl.h>
#include <thread>

using namespace zebrix;
using namespace test;

namespace {

std::string Tool(const std::string& c, const std::string& o) { return std::system((c + " >" + o).c_str()), Slurp(o); }

struct Page { // a page drawn by pdftoppm, in grey
    int width = 0, height = 0, maximum = 0;
    std::string pixels;
    Page(const std::string& pgm)
    {
        std::istringstream in(Slurp(pgm));
        in >> pixels >> width >> height >> maximum, in.get();
        pixels.assign(std::istreambuf_iterator<char>(in), {});
    }
    // What a reader finds in the box, in millimetres at dpi.
    Strings read(Reader reader, double x, double y, double w, double h, double dpi = 300) const
    {
        const auto px = [&](double mm) { return static_cast<int>(mm * dpi / 25.4); };
        const auto* first = reinterpret_cast<const std::uint8_t*>(pixels.data()) + px(y) * width + px(x);
        return ReadBarcodes(reader, {first, px(w), px(h), width}, Symbology::Code128);
    }
};

Strings Cells(int lines, int skip = 0, int copies = 1) // what each cell holds, page after page ("": empty)
{
    Strings cells(static_cast<std::size_t>(skip), "");
    for (int line = 1; line <= lines; ++line)
        cells.insert(cells.end(), static_cast<std::size_t>(copies), "ZBX-" + std::to_string(line));
    return cells;
}

} // namespace

// On 3 x 8 A4 sheets (70 x 37 mm labels, 0.5 mm from the top), every label reads with both readers inside its own
// cell and as text, and the other cells are empty; --start leaves the first cells empty; --copies repeats each line;
// a line that cannot be drawn is skipped, and the next takes its cell.
TEST(Sheet, EveryLabelReadsInItsOwnCell)
{
    const struct {
        Strings args;
        std::string input;
        int status;
        Strings cells;
    } rows[] = {{{}, Lines(30), 0, Cells(30)}, {{"--start", "5"}, Lines(30), 0, Cells(30, 4)},
        {{"--copies", "3"}, Lines(4), 0, Cells(4, 0, 3)}, {{}, "ZBX-1\nZBX-é\n\nZBX-4\n", 2, {"ZBX-1", "ZBX-4"}}};
    for (const auto& [args, input, status, cells] : rows) {
        SCOPED_TRACE(cells.size());
        const TempDir dir;
        const Cli run(
            With({"-s", "code128", "--verify", "--batch", "-", "-o", dir / "s.pdf", "--sheet", "a4-3x8"}, args), input);
        ASSERT_EQ(run.status, status) << run.err;
        const std::size_t pages = (cells.size() + 23) / 24;
        EXPECT_TRUE(
            Has(Tool("pdfinfo " + dir / "s.pdf", dir / "o"), "Pages:           " + std::to_string(pages) + "\n"));
        const std::string text = Tool("pdftotext " + dir / "s.pdf -", dir / "o");
        for (const auto& c : cells)
            EXPECT_TRUE(Has(text, c + "\n")) << c;
        ASSERT_EQ(std::system(("pdftoppm -r 300 -gray " + dir / "s.pdf " + dir / "p").c_str()), 0);
        std::optional<Page> page;
        for (std::size_t cell = 0; cell < pages * 24; ++cell) {
            if (cell % 24 == 0)
                page.emplace(dir / ("p-" + std::to_string(cell / 24 + 1) + ".pgm"));
            const double x = static_cast<double>(cell % 3) * 70, y = 0.5 + static_cast<double>(cell % 24 / 3) * 37;
            const Strings expected = cell >= cells.size() || cells[cell].empty() ? Strings{} : Strings{cells[cell]};
            EXPECT_EQ(page->read(Reader::ZXing, x, y, 70, 37), expected) << cell;
            EXPECT_EQ(page->read(Reader::Zbar, x, y, 70, 37), expected) << cell;
        }
    }
}

// One label on a page of its size: the narrow bar is --module wide (measured at 2540 dpi, 0.01 mm a dot), its text
// is real text, and it reads; --verify reads each label back: one that does not read (widened Code 128 spaces, bars
// thinner than a dot) is reported by line (exit 3).
TEST(Sheet, TheNarrowBarIsTheModuleWide)
{
    for (const double module : {0.26, 0.33, 0.5}) {
        const TempDir dir;
        const std::string mm = std::to_string(module);
        ASSERT_EQ(Cli({"-s", "code128", "--module", mm, "--verify", "-o", dir / "a.pdf", "Zebrix"}).status, 0);
        EXPECT_EQ(Tool("pdftotext " + dir / "a.pdf -", dir / "o"), "Zebrix\n\n\f");
        ASSERT_EQ(std::system(("pdftoppm -r 2540 -gray " + dir / "a.pdf " + dir / "m").c_str()), 0);
        const Page page(dir / "m-1.pgm");
        int narrowest = page.width, run = 0;
        for (const char dot : page.pixels.substr(600 * page.width, page.width) + "\xff") // a row 5 mm down
            static_cast<unsigned char>(dot) < 128 ? ++run
                                                  : (narrowest = run ? std::min(narrowest, run) : narrowest, run = 0);
        EXPECT_NEAR(narrowest * 0.01, module, 0.02) << module;
    }
    const TempDir dir;
    for (const Strings& args : {Strings{"-p"}, {"--module", "0.05", "--verify-dpi", "100"}}) {
        const Cli r(With({"-s", "code128", "--verify", "--batch", "-", "-o", dir / "v.pdf", "--sheet", "a4-3x8"}, args),
            "\nZebrix\n");
        EXPECT_EQ(r.status, 3) << r.err;
        EXPECT_TRUE(Has(r.err, "line 2: does not read back: ")) << r.err;
        EXPECT_TRUE(fs::exists(dir / "v.pdf"));
    }
}

// Refused before anything is written, with what is wrong: exit 2, no file.
TEST(Sheet, RefusesWhatDoesNotFitAndWritesNothing)
{
    const std::string wide = "A\n" + std::string(40, 'W') + "\n";
    const struct {
        Strings args;
        std::string input, says;
    } rows[] = {{{"--sheet", "a4-3x9"}, "A", "unknown sheet \"a4-3x9\": use a4-3x8"},
        {{"--sheet", "210x297:0,0:3x8:71x37:0,0"}, "A", "the labels reach 213 x 296 mm, past the page's 210 x 297 mm"},
        {{"--sheet", "210x297:0,0:3x8:0x37:0,0"}, "A", "need sizes above zero"},
        {{"--sheet", "210x297:0,0:3x8:-70x37:0,0"}, "A", "need sizes above zero"},
        {{"--sheet", "210x297:0,-1:3x8:70x37:0,0"}, "A", "the margins and gaps zero or more"},
        {{"--sheet", "210x297:0,0:3.5x8:70x37:0,0"}, "A", "whole numbers of columns and rows"},
        {{"--sheet", "210x297:0,0:3x8:70x37:0,0:1"}, "A", "unknown sheet"},
        {{"--sheet", "a4-3x8"}, wide,
            "line 2: the label needs 184.86 x 16.35 mm (quiet zones included); the cell has 70"},
        {{"--sheet", "a4-3x8", "--height", "40"}, "A", "line 1: the label needs 22.62 x 43.35 mm"},
        {{"--sheet", "a4-3x8", "--module", "0"}, "A", "--module needs a width in millimetres from 0.05"},
        {{"--sheet", "a4-3x8", "--height", "-3"}, "A", "--height needs a height in millimetres from 0.5"},
        {{"--sheet", "a4-3x8", "--start", "25"}, "A", "--start 25: the sheet has 24 cells"},
        {{"--sheet", "a4-3x8", "--copies", "0"}, "A", "--copies needs a number from 1 to 1000"},
        {{}, "A", "a batch into a PDF lays its labels out on sheets: give --sheet"}};
    for (const auto& [args, input, says] : rows) {
        const TempDir dir;
        const Cli r(With({"--batch", "-", "-o", dir / "s.pdf"}, args), input);
        EXPECT_EQ(r.status, 2) << says;
        EXPECT_TRUE(Has(r.err, says)) << r.err;
        EXPECT_FALSE(fs::exists(dir / "s.pdf")) << says;
    }
}

// Stopped by Ctrl+C while the lines come, it writes nothing, and says so.
TEST(Sheet, StoppedItWritesNothing)
{
    const TempDir dir;
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const int err = ::open((dir / "err").c_str(), O_WRONLY | O_CREAT, 0600);
    const pid_t pid = Start({"--batch", "-", "-o", dir / "s.pdf", "--sheet", "a4-3x8"}, ends[0], -1, err);
    ASSERT_EQ(::write(ends[1], "A\nB\n", 4), 4);
    for (int left = 4; left > 0; std::this_thread::sleep_for(std::chrono::milliseconds(5)))
        ::ioctl(ends[0], FIONREAD, &left); // read: its handlers are in place
    ::kill(pid, SIGINT);
    EXPECT_EQ(Wait(pid), 130);
    EXPECT_FALSE(fs::exists(dir / "s.pdf"));
    EXPECT_TRUE(Has(Slurp(dir / "err"), "interrupted by SIGINT; " + dir / "s.pdf not written")) << Slurp(dir / "err");
}
