// The command line's parts: file names from templates, lines, UTF-8, the
// progress line, and files written whole or not at all.
#include "CliRun.h"
#include "barcode/Utf.h"
#include "cli/Batch.h"
#include "cli/LineInput.h"
#include "cli/NameTemplate.h"
#include "output/files/FileOutput.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace zebrix;
using namespace zebrix::cli;
using test::Slurp;

namespace {

std::string Expand(const std::string& pattern, long long n, std::u16string_view text)
{
    std::string why;
    const auto t = NameTemplate::Parse(pattern, why);
    EXPECT_TRUE(t) << pattern << ": " << why;
    return t ? t->Expand(n, text) : std::string();
}

std::string Why(const std::string& pattern)
{
    std::string why;
    EXPECT_FALSE(NameTemplate::Parse(pattern, why)) << pattern;
    return why;
}


} // namespace

TEST(NameTemplate, NumbersTextsAndBraces)
{
    EXPECT_EQ(Expand("out/{n}.bmp", 7, u"X"), "out/7.bmp");
    EXPECT_EQ(Expand("label-{n:05}.png", 42, u"X"), "label-00042.png");
    EXPECT_EQ(Expand("{n:03}", 123456, u"X"), "123456"); // padding never cuts
    EXPECT_EQ(Expand("{n:03}-{text}.svg", 9, u"ABC 12"), "009-ABC 12.svg");
    EXPECT_EQ(Expand("{{n}}-{{text}}.bmp", 1, u"X"), "{n}-{text}.bmp");
    EXPECT_EQ(Expand("plain.bmp", 5, u"X"), "plain.bmp");
    // A field's value is never read as a field again.
    EXPECT_EQ(Expand("{text}.bmp", 1, u"{n}"), "{n}.bmp");

    EXPECT_NE(Why("x{foo}.bmp").find("{foo}"), std::string::npos);
    EXPECT_NE(Why("x{n.bmp").find("unclosed"), std::string::npos);
    Why("{n:5}.bmp");
    Why("{n:00}.bmp");
    Why("{n:019}.bmp");
    Why("{N}.bmp");
}

TEST(NameTemplate, TextsAreMadeSafeForAFileName)
{
    EXPECT_EQ(SafeFileName(u"A/B/C"), "A_B_C");
    EXPECT_EQ(SafeFileName(u"tab\there\x7F" u"end\x0085"), "tab_here_end_");
    EXPECT_EQ(SafeFileName(u".hidden"), "_hidden");
    EXPECT_EQ(SafeFileName(u".."), "_.");
    EXPECT_EQ(SafeFileName(u"a.b"), "a.b");
    EXPECT_EQ(SafeFileName(u""), "_");
    EXPECT_EQ(SafeFileName(u"Prix: 12€"), "Prix: 12€");
    // At most 100 bytes, never half a character.
    EXPECT_EQ(SafeFileName(std::u16string(300, u'7')), std::string(100, '7'));
    const std::string cut = SafeFileName(u"x" + std::u16string(60, u'é')); // 1 + 2 x 60 bytes
    EXPECT_EQ(cut.size(), 99u);
    std::u16string back;
    EXPECT_TRUE(Utf8ToUtf16(cut, back));
}

TEST(LineInput, LineBreaksOfEveryKind)
{
    using V = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines("a\nb\nc"), (V{"a", "b", "c"}));     // last line without a break counts
    EXPECT_EQ(SplitLines("a\nb\n"), (V{"a", "b"}));           // a final break adds nothing
    EXPECT_EQ(SplitLines("a\r\nb\r\n"), (V{"a", "b"}));       // CR LF
    EXPECT_EQ(SplitLines("a\r\nb"), (V{"a", "b"}));
    EXPECT_EQ(SplitLines("a\n\nb\n\n"), (V{"a", "", "b", ""})); // empty lines keep their numbers
    EXPECT_EQ(SplitLines("\xEF\xBB\xBF" "a\nb"), (V{"a", "b"})); // byte-order mark
    EXPECT_EQ(SplitLines("a\rb\n"), (V{"a\rb"}));             // a lone CR is text
    EXPECT_EQ(SplitLines(""), V{});
    EXPECT_EQ(SplitLines("\n"), V{""});
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
    const std::string line = ProgressLine(2500, 10000, 2.0, 79);
    EXPECT_EQ(line.size(), 79u);
    EXPECT_NE(line.find("2500/10000 lines"), std::string::npos) << line;
    EXPECT_NE(line.find("1250 lines/s"), std::string::npos) << line;
    EXPECT_NE(line.find("0:06 left"), std::string::npos) << line;
    const auto bar = line.substr(1, line.find(']') - 1);
    EXPECT_EQ(std::count(bar.begin(), bar.end(), '#'), static_cast<long>(bar.size() / 4));
    EXPECT_EQ(ProgressLine(10000, 10000, 4.0, 79).find("left"), std::string::npos);
    EXPECT_NE(ProgressLine(0, 10, 0.0, 20).find("0/10 lines"), std::string::npos);
}

TEST(FileOutput, WholeFilesOrNothing)
{
    const test::TempDir dir;
    const std::string path = dir / "a.bmp";
    ASSERT_TRUE(WriteFileAtomically(path, "first").written());
    EXPECT_EQ(Slurp(path), "first");
    const mode_t mask = ::umask(022);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    // Replacing keeps the permissions; a link keeps pointing at the new file.
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(path, "second").written());
    EXPECT_EQ(Slurp(path), "second");
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    const std::string link = dir / "link.bmp";
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(link, "third").written());
    EXPECT_EQ(Slurp(path), "third");
    struct stat lst {};
    ASSERT_EQ(::lstat(link.c_str(), &lst), 0);
    EXPECT_TRUE(S_ISLNK(lst.st_mode));

    // Failures say why, leave nothing behind, and never write into a device.
    std::filesystem::create_directory(dir / "folder.bmp");
    ASSERT_EQ(::symlink((dir / "nothing").c_str(), (dir / "broken.bmp").c_str()), 0);
    using F = WriteResult::Failure;
    const struct {
        std::string path;
        F failure;
        std::string says;
    } rows[] = {
        {dir / "folder.bmp", F::IsFolder, "folder"},
        {dir / "missing/x.bmp", F::System, "No such file"},
        {dir / "broken.bmp", F::BrokenLink, "cannot write"},
        {"/dev/null", F::NotRegular, "cannot write"},
        {"/dev/full", F::NotRegular, "cannot write"},
    };
    for (const auto& row : rows) {
        const WriteResult result = WriteFileAtomically(row.path, "x");
        EXPECT_EQ(result.failure, row.failure) << row.path;
        EXPECT_NE(Describe(result, row.path).find(row.says), std::string::npos) << Describe(result, row.path);
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"a.bmp", "broken.bmp", "folder.bmp", "link.bmp"}));
}

// A write that fails half-way (the file size limit stands in for a full
// disk): a new file is not left behind, an old one keeps its bytes.
TEST(FileOutput, AFailedWriteLeavesNothingHalfWritten)
{
    const test::TempDir dir;
    const std::string old = dir / "old.bmp";
    ASSERT_TRUE(WriteFileAtomically(old, "old bytes").written());
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string big(4096, 'x');
    const WriteResult fresh = WriteFileAtomically(dir / "new.bmp", big);
    const WriteResult replaced = WriteFileAtomically(old, big);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(fresh.failure, WriteResult::Failure::System);
    EXPECT_EQ(replaced.error, EFBIG);
    EXPECT_EQ(Slurp(old), "old bytes");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"old.bmp"});
}
