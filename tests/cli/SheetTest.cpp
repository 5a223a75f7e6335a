// zebrix-cli's PDFs as a printer gets them: labels laid out on sheets, read back from the pages that poppler draws
// with ZXing-C++ and zbar, each in its own cell; its text found by pdftotext; its refusals.
#include "verify/Readers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

using namespace zebrix;
namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace {

struct Folder { // a fresh folder, removed with everything in it
    std::string path = (fs::temp_directory_path() / "zebrix-sheet-XXXXXX").string();
    Folder() { ::mkdtemp(path.data()); }
    ~Folder() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};
std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
std::string Tool(const std::string& command) // a poppler tool's standard output
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    for (char buffer[4096]; std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe);)
        out.append(buffer, n);
    return ::pclose(pipe), out;
}

struct Cli { // zebrix-cli run on this standard input: its exit status and its messages
    int status = -1;
    std::string err;
    Cli(const Strings& args, const std::string& input)
    {
        const Folder io;
        std::ofstream(io / "in") << input;
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, (io / "in").c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 2, (io / "err").c_str(), O_WRONLY | O_CREAT, 0600);
        std::vector<char*> argv{const_cast<char*>(ZEBRIX_CLI)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (::posix_spawn(&pid, ZEBRIX_CLI, &files, nullptr, argv.data(), environ) == 0)
            ::waitpid(pid, &status, 0), status = WEXITSTATUS(status);
        posix_spawn_file_actions_destroy(&files);
        err = Slurp(io / "err");
    }
};

struct Page { // a page drawn by pdftoppm, in grey
    int width = 0, height = 0;
    std::string pixels;
    Page(const std::string& pgm)
    {
        std::istringstream in(Slurp(pgm));
        std::string magic;
        int maximum = 0;
        in >> magic >> width >> height >> maximum;
        in.get();
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

std::string Numbered(int count)
{
    std::string lines;
    for (int i = 1; i <= count; ++i)
        lines += "ZBX-" + std::to_string(i) + "\n";
    return lines;
}
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
    } rows[] = {{{}, Numbered(30), 0, Cells(30)}, {{"--start", "5"}, Numbered(30), 0, Cells(30, 4)},
        {{"--copies", "3"}, Numbered(4), 0, Cells(4, 0, 3)}, {{}, "ZBX-1\nZBX-é\n\nZBX-4\n", 2, {"ZBX-1", "ZBX-4"}}};
    for (const auto& [args, input, status, cells] : rows) {
        SCOPED_TRACE(cells.size());
        const Folder dir;
        Strings all{"-s", "code128", "--verify", "--batch", "-", "-o", dir / "s.pdf", "--sheet", "a4-3x8"};
        const Cli run((all.insert(all.end(), args.begin(), args.end()), all), input);
        ASSERT_EQ(run.status, status) << run.err;
        const std::size_t pages = (cells.size() + 23) / 24;
        EXPECT_TRUE(Has(Tool("pdfinfo " + dir / "s.pdf"), "Pages:           " + std::to_string(pages) + "\n"));
        const std::string text = Tool("pdftotext " + dir / "s.pdf -");
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
// is real text, and it reads; --verify reads each label back: one that does not read is reported by line (exit 3).
TEST(Sheet, TheNarrowBarIsTheModuleWide)
{
    for (const double module : {0.26, 0.33, 0.5}) {
        const Folder dir;
        const std::string mm = std::to_string(module);
        ASSERT_EQ(Cli({"-s", "code128", "--module", mm, "--verify", "-o", dir / "a.pdf", "Zebrix"}, "").status, 0);
        EXPECT_EQ(Tool("pdftotext " + dir / "a.pdf -"), "Zebrix\n\n\f");
        ASSERT_EQ(std::system(("pdftoppm -r 2540 -gray " + dir / "a.pdf " + dir / "m").c_str()), 0);
        const Page page(dir / "m-1.pgm");
        int narrowest = page.width;
        for (int x = 0, run = 0; x < page.width; ++x) { // along a row across the bars, 5 mm down
            run = static_cast<unsigned char>(page.pixels[static_cast<std::size_t>(600 * page.width + x)]) < 128
                ? run + 1
                : 0;
            const bool ends = run > 0
                && (x + 1 == page.width
                    || static_cast<unsigned char>(page.pixels[static_cast<std::size_t>(600 * page.width + x + 1)])
                        >= 128);
            narrowest = ends ? std::min(narrowest, run) : narrowest;
        }
        EXPECT_NEAR(narrowest * 0.01, module, 0.02) << mm;
    }
    const Folder dir;
    const struct {
        Strings args;
        std::string says;
    } rows[] = {{{"-p"}, "line 2: does not read back: "}, // widened Code 128 spaces
        {{"--module", "0.05", "--verify-dpi", "100"}, "line 2: does not read back: "}}; // bars thinner than a dot
    for (const auto& [args, says] : rows) {
        Strings all{"-s", "code128", "--verify", "--batch", "-", "-o", dir / "v.pdf", "--sheet", "a4-3x8"};
        const Cli r((all.insert(all.end(), args.begin(), args.end()), all), "\nZebrix\n");
        EXPECT_EQ(r.status, 3) << r.err;
        EXPECT_TRUE(Has(r.err, says)) << r.err;
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
        {{"--sheet", "a4-3x8"}, wide, "line 2: the label needs 1"},
        {{"--sheet", "a4-3x8"}, wide, "the cell has 70 x 37 mm"},
        {{"--sheet", "a4-3x8", "--height", "40"}, "A", "line 1: the label needs 22.62 x 43.35 mm"},
        {{"--sheet", "a4-3x8", "--module", "0"}, "A", "--module needs a width in millimetres from 0.05"},
        {{"--sheet", "a4-3x8", "--height", "-3"}, "A", "--height needs a height in millimetres from 0.5"},
        {{"--sheet", "a4-3x8", "--start", "25"}, "A", "--start 25: the sheet has 24 cells"},
        {{"--sheet", "a4-3x8", "--copies", "0"}, "A", "--copies needs a number from 1 to 1000"},
        {{}, "A", "a batch into a PDF lays its labels out on sheets: give --sheet"}};
    for (const auto& [args, input, says] : rows) {
        const Folder dir;
        Strings all{"--batch", "-", "-o", dir / "s.pdf"};
        const Cli r((all.insert(all.end(), args.begin(), args.end()), all), input);
        EXPECT_EQ(r.status, 2) << says;
        EXPECT_TRUE(Has(r.err, says)) << r.err;
        EXPECT_FALSE(fs::exists(dir / "s.pdf")) << says;
    }
}
