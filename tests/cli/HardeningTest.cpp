// zebrix-cli and the converter library against a hostile user and a second
// process: signals part-way, a reader watching the folder, links, FIFOs,
// devices, a full disk, floods of bad lines, closed streams. Every run is a
// real process under a deadline: a hang fails the test instead of blocking it.
#include "CliRun.h"
#include "Zarezu_BmpJpg.h"

#include <atomic>
#include <set>

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace zebrix::test;

namespace {

// A file as a reader finds it: whole (a BMP as long as its header says, an SVG closed), or not.
bool Whole(const std::string& path)
{
    const std::string bytes = Slurp(path);
    if (path.ends_with(".svg"))
        return bytes.ends_with("</svg>\n");
    std::uint32_t size = 0;
    for (std::size_t i = 5; i >= 2 && bytes.size() >= 14; --i)
        size = size << 8 | static_cast<unsigned char>(bytes[i]);
    return bytes.starts_with("BM") && size == bytes.size();
}

std::string Lines(int count, const char* prefix = "ZBX-")
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += prefix + std::to_string(i) + "\n";
    return text;
}

// The library's RsBmpToJpg, run in a process of its own so that a hang can be killed.
int Convert(const std::string& from, const std::string& to, int ratio = 80)
{
    static void* library = ::dlopen(ZEBRIX_CONVERTER, RTLD_NOW);
    EXPECT_NE(library, nullptr) << ::dlerror();
    using Fn = int32_t (*)(const char*, const char*, int32_t, int32_t);
    const auto convert = library ? reinterpret_cast<Fn>(::dlsym(library, "RsBmpToJpg")) : nullptr;
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(convert ? convert(from.c_str(), to.c_str(), ratio, 0) : 99);
    return static_cast<std::int8_t>(Wait(pid, 10s)); // the library's codes are small negative numbers
}

} // namespace

// Interrupted part-way, a batch leaves only whole files, no temporary one, and
// says how many it wrote; a reader watching the folder never sees a short file.
TEST(Hardening, ASignalPartWayLeavesWholeFilesAndNoTemporaryOne)
{
    const struct {
        int signal, status;
        const char* type;
    } rows[] = {{SIGINT, 130, "bmp"}, {SIGTERM, 143, "svg"}, {SIGKILL, 128 + SIGKILL, "bmp"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(strsignal(row.signal));
        const TempDir dir, io;
        Spill(io / "in", Lines(200000));
        std::atomic<bool> done{false};
        std::set<std::string> checked, short_;
        std::thread reader([&] {
            while (!done)
                for (const auto& name : dir.entries())
                    if (!name.starts_with(".") && name.ends_with(row.type) && checked.insert(name).second &&
                        !Whole(dir / name))
                        short_.insert(name);
        });
        const int err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600);
        const pid_t pid = Start({"-s", "code128", "--scale", "3", "--batch", io / "in", "-o",
                                 dir / (std::string("{n}.") + row.type)}, -1, -1, err);
        for (int i = 0; i < 4000 && dir.entries().size() < 150; ++i)
            std::this_thread::sleep_for(5ms);
        ::kill(pid, row.signal);
        EXPECT_EQ(Wait(pid, 30s), row.status);
        done = true;
        reader.join();
        ::close(err);
        EXPECT_GE(checked.size(), 100u) << "the reader saw too few files to mean anything";
        EXPECT_TRUE(short_.empty()) << short_.size() << " short files, the first " << *short_.begin();
        const auto names = dir.entries();
        EXPECT_LT(names.size(), 200000u) << "the signal came too late to test anything";
        for (const auto& name : names)
            EXPECT_TRUE(!name.starts_with(".") && Whole(dir / name)) << name;
        EXPECT_TRUE(row.signal == SIGKILL || Has(Slurp(io / "err"), ": " + std::to_string(names.size()) + " files written"))
            << Slurp(io / "err");
    }
}

// Replacing a file, by zebrix-cli or the converter: a link stays a link to the
// new file, a hard-linked twin keeps the old bytes, the permissions stay; a
// failed conversion leaves the old file.
TEST(Hardening, AReplacedFileKeepsItsLinksAndPermissions)
{
    const TempDir dir;
    ASSERT_EQ(RunZebrixCli({"-o", dir / "new.bmp", "A"}).status, 0);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(fs::status(dir / "new.bmp").permissions(), fs::perms(0666 & ~mask));
    for (const std::string ext : {".bmp", ".jpg"}) {
        SCOPED_TRACE(ext);
        Spill(dir / ("old" + ext), "old");
        ::chmod((dir / ("old" + ext)).c_str(), 0640);
        ASSERT_EQ(::link((dir / ("old" + ext)).c_str(), (dir / ("twin" + ext)).c_str()), 0);
        ASSERT_EQ(::symlink(("old" + ext).c_str(), (dir / ("link" + ext)).c_str()), 0);
        if (ext == ".jpg") {
            Spill(dir / "bad.bmp", "BM not a bitmap");
            EXPECT_EQ(Convert(dir / "bad.bmp", dir / "link.jpg"), ZAREZU_NOT_A_BMP);
            EXPECT_EQ(Slurp(dir / "old.jpg"), "old");
            EXPECT_EQ(Convert(dir / "new.bmp", dir / "link.jpg"), ZAREZU_OK);
            EXPECT_TRUE(Slurp(dir / "old.jpg").starts_with("\xFF\xD8\xFF"));
        } else {
            EXPECT_EQ(RunZebrixCli({"-o", dir / "link.bmp", "NEW"}).status, 0);
            EXPECT_TRUE(Whole(dir / "old.bmp"));
        }
        EXPECT_TRUE(fs::is_symlink(dir / ("link" + ext)));
        EXPECT_EQ(fs::status(dir / ("old" + ext)).permissions(), fs::perms(0640));
        EXPECT_EQ(Slurp(dir / ("twin" + ext)), "old");
    }
}

// A target that cannot take a file says why; nothing waits on a pipe or a
// device, writes into it, or is left beside it.
TEST(Hardening, AnUnwritableTargetSaysWhyAndNothingWaits)
{
    const TempDir dir;
    ASSERT_EQ(RunZebrixCli({"-o", dir / "a.bmp", "A"}).status, 0);
    ASSERT_EQ(::mkfifo((dir / "fifo.bmp").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.png");
    fs::create_symlink("/dev/null", dir / "null.jpg");
    fs::create_symlink("/dev/full", dir / "full.png");
    fs::create_symlink(dir / "nothing", dir / "broken.bmp");
    const bool root = ::mknod((dir / "zero.bmp").c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0;
    const std::string zero = root ? dir / "zero.bmp" : "/dev/zero";
    const Strings before = dir.entries();
    const std::pair<Strings, std::string> rows[] = {
        {{"-o", dir / "missing/x.png", "A"}, "No such file"},
        {{"-o", dir / "folder.png", "A"}, "it is a folder"},
        {{"-o", dir / "broken.bmp", "A"}, "a symbolic link to nothing"},
        {{"-o", dir / "fifo.bmp", "A"}, "not a regular file"},
        {{"-o", dir / "null.jpg", "A"}, "not a regular file"},
        {{"-o", dir / "full.png", "A"}, "not a regular file"},
        {{"-o", zero, "A"}, "not a regular file"},
        {{"--batch", "-", "-o", dir / "fifo.bmp"}, "not a regular file"},
        {{"--batch", "/dev/zero", "-o", dir / "{n}.bmp"}, "not a regular file, a pipe or a terminal"},
        {{"--batch", zero, "-o", dir / "{n}.bmp"}, "not a regular file, a pipe or a terminal"},
    };
    for (const auto& [args, says] : rows) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const auto r = RunZebrixCli(args, "A\nB\n");
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(Has(r.err, "cannot ") && Has(r.err, says)) << r.err;
    }
    for (const std::string& to : {dir / "fifo.bmp", dir / "null.jpg", zero})
        EXPECT_EQ(Convert(dir / "a.bmp", to), ZAREZU_CANNOT_WRITE) << to;
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.bmp"));
    EXPECT_EQ(fs::read_symlink(dir / "null.jpg"), "/dev/null");
    EXPECT_EQ(dir.entries(), before);
}

// Run by on_full_disk.sh, ZEBRIX_TEST_FULL_DISK naming a full tmpfs holding
// old.bmp ("precious") and its hard-linked twin.bmp: nothing is lost or begun.
TEST(Hardening, AFullDiskLosesNoFile)
{
    const char* full = std::getenv("ZEBRIX_TEST_FULL_DISK");
    if (!full)
        GTEST_SKIP() << "needs a full disk: run through on_full_disk.sh";
    const std::string disk = full;
    const TempDir elsewhere;
    ASSERT_EQ(RunZebrixCli({"-o", elsewhere / "a.bmp", "A"}).status, 0);
    const Strings runs[] = {{"-o", disk + "/old.bmp", "A"}, {"--batch", "-", "-o", disk + "/{n}.bmp"},
                            {"--batch", "-", "-o", disk + "/old.bmp"}};
    for (const auto& args : runs) {
        const auto r = RunZebrixCli(args, Lines(50));
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_TRUE(Has(r.err, "No space left on device")) << r.err;
    }
    EXPECT_EQ(Convert(elsewhere / "a.bmp", disk + "/old.bmp", 100), ZAREZU_CANNOT_WRITE);
    EXPECT_EQ(Slurp(disk + "/old.bmp"), "precious");
    EXPECT_EQ(Slurp(disk + "/twin.bmp"), "precious");
    EXPECT_EQ(TempDir::Entries(disk), (Strings{"filler", "old.bmp", "twin.bmp"}));
}

// Messages come while the input is still open, and show no control character.
TEST(Hardening, MessagesComeAsLinesAreReadAndShowNoControlCharacter)
{
    const TempDir dir;
    int in[2], err[2];
    ASSERT_EQ(::pipe2(in, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(err, O_CLOEXEC), 0);
    const pid_t pid = Start({"-s", "code128", "--batch", "-", "-o", dir / "{n}.bmp"}, in[0], -1, err[1]);
    ::close(in[0]);
    ::close(err[1]);
    std::string lines = "VALID\n";
    for (int i = 0; i < 500; ++i)
        lines += "x\xC3\xA9\n";
    lines += "a\tb\n" "\x1B[2J\x1B]0;pwned\x07\n" "ab\x7F\n" "\xE2\x80\xAE" "abc\n" "\xC2\x9B" "31m\n";
    ASSERT_EQ(::write(in[1], lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    ::fcntl(err[0], F_SETFL, O_NONBLOCK);
    std::string said;
    const auto read = [&] {
        char buffer[65536];
        const ssize_t n = ::read(err[0], buffer, sizeof buffer);
        said.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        return n;
    };
    for (int i = 0; i < 2000 && !Has(said, "line 400:"); ++i)
        if (read() <= 0)
            std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(Has(said, "line 400:")) << "no message before the end of the input";
    ::close(in[1]);
    EXPECT_EQ(Wait(pid), 2);
    while (read() > 0) {
    }
    ::close(err[0]);
    for (const char* shown : {"line 2: \xC3\xA9 : Caract", "line 502: U+0009 : Caract", "line 503: U+001B : Caract",
                              "line 504: U+007F : Caract", "line 505: U+202E : Caract", "line 506: U+009B : Caract"})
        EXPECT_TRUE(Has(said, shown)) << shown << "\n" << said;
    for (const char c : said)
        EXPECT_TRUE(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)) << int(c);
    EXPECT_TRUE(Whole(dir / "1.bmp"));
}

// A full standard output is an error; a reader of the messages that goes away
// (| head -1) stops the messages, not the files.
TEST(Hardening, ClosedOrFullStandardStreamsStopMessagesNotFiles)
{
    const TempDir dir, io;
    const int full = ::open("/dev/full", O_WRONLY), err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(full, 0);
    EXPECT_EQ(Wait(Start({"--help"}, -1, full, err)), 1);
    ::close(full);
    ::close(err);
    EXPECT_TRUE(Has(Slurp(io / "err"), "cannot write to standard output"));
    Spill(io / "in", Lines(300, "bad#") + Lines(300));
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ::close(pipe[0]);
    const int in = ::open((io / "in").c_str(), O_RDONLY);
    EXPECT_EQ(Wait(Start({"--batch", "-", "-o", dir / "{n}.bmp"}, in, -1, pipe[1])), 2);
    ::close(in);
    ::close(pipe[1]);
    EXPECT_EQ(dir.entries().size(), 300u);
}
