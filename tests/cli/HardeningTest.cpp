// zebrix-cli and the converter library against a hostile user and a second
// process: signals part-way, a reader watching the folder, FIFOs, devices,
// links, full disks, floods of bad lines, closed pipes. Every run is a real
// process under a deadline: a hang fails the test instead of blocking it.
#include "Zarezu_BmpJpg.h"
#include "cli/LineInput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct Folder {
    std::string path;
    explicit Folder(const char* base = nullptr)
    {
        std::string name = std::string(base ? base : fs::temp_directory_path().c_str()) + "/zebrix-hard-XXXXXX";
        path = ::mkdtemp(name.data()) ? name : std::string();
    }
    ~Folder() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(path))
            names.push_back(e.path().filename().string());
        return names;
    }
};

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spill(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// zebrix-cli with its standard streams on these descriptors (-1: /dev/null).
pid_t Start(const std::vector<std::string>& args, int in = -1, int out = -1, int err = -1)
{
    std::vector<char*> argv{const_cast<char*>(ZEBRIX_CLI)};
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(in >= 0 ? in : null, 0);
        ::dup2(out >= 0 ? out : null, 1);
        ::dup2(err >= 0 ? err : null, 2);
        std::signal(SIGINT, SIG_DFL); // as from a terminal, even under a runner that ignores it
        ::execv(ZEBRIX_CLI, argv.data());
        ::_exit(127);
    }
    return pid;
}

// The exit status, 128 + N when killed by signal N; a run past the deadline
// is killed and reported as a hang.
int Wait(pid_t pid, std::chrono::seconds limit = 60s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ADD_FAILURE() << "zebrix-cli still running after " << limit.count() << " s: killed";
            return -1;
        }
        std::this_thread::sleep_for(5ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct Result {
    int status;
    std::string err;
};

Result RunCli(const std::vector<std::string>& args, const std::string& input = {}, std::chrono::seconds limit = 20s)
{
    const Folder io;
    Spill(io / "in", input);
    const int in = ::open((io / "in").c_str(), O_RDONLY);
    const int err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600);
    const int status = Wait(Start(args, in, -1, err), limit);
    ::close(in);
    ::close(err);
    return {status, Slurp(io / "err")};
}

// A file as a reader finds it: whole (a BMP as long as its header says, an
// SVG closed), or not.
bool Whole(const std::string& path)
{
    const std::string bytes = Slurp(path);
    if (path.ends_with(".svg"))
        return bytes.ends_with("</svg>\n");
    if (bytes.size() < 14 || bytes.compare(0, 2, "BM") != 0)
        return false;
    std::uint32_t size = 0;
    for (int i = 5; i >= 2; --i)
        size = size << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    return size == bytes.size();
}

std::string Lines(int count, const char* prefix = "ZBX-")
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += prefix + std::to_string(i) + "\n";
    return text;
}

using Convert = int32_t (*)(const char*, const char*, int32_t, int32_t);
Convert Converter()
{
    static void* library = ::dlopen(ZEBRIX_CONVERTER, RTLD_NOW);
    return library ? reinterpret_cast<Convert>(::dlsym(library, "RsBmpToJpg")) : nullptr;
}

} // namespace

TEST(Hardening, AReaderWatchingTheFolderNeverSeesAShortFile)
{
    for (const char* type : {"bmp", "svg"}) {
        const Folder dir;
        Spill(dir / "in", Lines(3000));
        std::atomic<bool> done{false};
        std::set<std::string> checked;
        std::vector<std::string> short_;
        std::thread reader([&] {
            while (!done)
                for (const auto& name : dir.entries())
                    if (name.ends_with(type) && !checked.count(name)) {
                        if (!Whole(dir / name))
                            short_.push_back(name);
                        checked.insert(name);
                    }
        });
        const int status = Wait(Start({"-s", "code128", "--scale", "3", "--batch", dir / "in", "-o",
                                       dir / (std::string("{n}.") + type)}));
        done = true;
        reader.join();
        EXPECT_EQ(status, 0);
        EXPECT_GT(checked.size(), 100u) << "the reader saw too few files to mean anything";
        EXPECT_TRUE(short_.empty()) << short_.size() << " short " << type << " files, the first " << short_.front();
    }
}

TEST(Hardening, ASignalPartWayLeavesWholeFilesAndNoTemporaryOne)
{
    const struct {
        int signal, status;
    } rows[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGKILL, 128 + SIGKILL}};
    for (const auto& row : rows) {
        const Folder dir, io;
        Spill(io / "in", Lines(200000));
        const int err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600);
        const pid_t pid = Start({"-s", "code128", "--scale", "3", "--batch", io / "in", "-o", dir / "{n}.bmp"}, -1, -1, err);
        for (int i = 0; i < 2000 && dir.entries().size() < 50; ++i)
            std::this_thread::sleep_for(5ms);
        ::kill(pid, row.signal);
        EXPECT_EQ(Wait(pid, 30s), row.status) << strsignal(row.signal);
        ::close(err);
        const auto names = dir.entries();
        EXPECT_GE(names.size(), 50u);
        EXPECT_LT(names.size(), 200000u) << "the signal came too late to test anything";
        for (const auto& name : names)
            EXPECT_TRUE(!name.starts_with(".") && Whole(dir / name)) << name << " after " << strsignal(row.signal);
        if (row.signal != SIGKILL) {
            EXPECT_NE(Slurp(io / "err").find(": " + std::to_string(names.size()) + " files written"), std::string::npos)
                << Slurp(io / "err");
        }
    }
}

TEST(Hardening, AReplacedFileKeepsItsHardLinkedTwinAndALinkStaysALink)
{
    const Folder dir;
    Spill(dir / "old.bmp", "old");
    ASSERT_EQ(::link((dir / "old.bmp").c_str(), (dir / "twin.bmp").c_str()), 0);
    ASSERT_EQ(::symlink("old.bmp", (dir / "link.bmp").c_str()), 0);
    EXPECT_EQ(RunCli({"-o", dir / "link.bmp", "NEW"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.bmp"));
    EXPECT_TRUE(Whole(dir / "old.bmp"));
    EXPECT_EQ(Slurp(dir / "twin.bmp"), "old"); // the twin is another name of the old file: it keeps it
}

TEST(Hardening, NothingWaitsOnAPipeOrADevice)
{
    const Folder dir;
    ASSERT_EQ(::mkfifo((dir / "fifo.bmp").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/null", (dir / "null.jpg").c_str()), 0);
    const bool root = ::mknod((dir / "zero.bmp").c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0;
    if (!root)
        std::printf("no device node of our own (needs root): /dev/zero instead\n");
    const std::string zero = root ? dir / "zero.bmp" : "/dev/zero";
    Spill(dir / "in", "A\nB\n");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string says;
    } rows[] = {
        {{"-o", dir / "fifo.bmp", "A"}, 1, "not a regular file"},
        {{"--batch", dir / "in", "-o", dir / "fifo.bmp"}, 1, "not a regular file"},
        {{"-o", dir / "null.jpg", "A"}, 1, "not a regular file"},
        {{"-o", zero, "A"}, 1, "not a regular file"},
        {{"--batch", "/dev/zero", "-o", dir / "{n}.bmp"}, 1, "not a regular file, a pipe or a terminal"},
        {{"--batch", zero, "-o", dir / "{n}.bmp"}, 1, "not a regular file, a pipe or a terminal"},
    };
    for (const auto& row : rows) {
        const auto r = RunCli(row.args, {}, 10s);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
    }
    ASSERT_NE(Converter(), nullptr) << ::dlerror();
    ASSERT_EQ(RunCli({"-o", dir / "a.bmp", "A"}).status, 0);
    for (const std::string& to : {dir / "fifo.bmp", dir / "null.jpg", zero}) {
        pid_t pid = ::fork(); // in a process of its own, so that a hang can be killed
        if (pid == 0)
            ::_exit(Converter()((dir / "a.bmp").c_str(), to.c_str(), 80, 0) == ZAREZU_CANNOT_WRITE ? 0 : 1);
        EXPECT_EQ(Wait(pid, 10s), 0) << to;
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.bmp"));
    EXPECT_EQ(fs::read_symlink(dir / "null.jpg"), "/dev/null");
    EXPECT_EQ(dir.entries().size(), root ? 5u : 4u); // nothing written beside them
}

TEST(Hardening, TheConverterReplacesOnlyWhenTheNewFileIsWhole)
{
    const Folder dir;
    ASSERT_NE(Converter(), nullptr) << ::dlerror();
    ASSERT_EQ(RunCli({"-o", dir / "a.bmp", "A"}).status, 0);
    Spill(dir / "out.jpg", "old");
    ASSERT_EQ(::link((dir / "out.jpg").c_str(), (dir / "twin.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("out.jpg", (dir / "link.jpg").c_str()), 0);
    Spill(dir / "bad.bmp", "BM not a bitmap");
    EXPECT_EQ(Converter()((dir / "bad.bmp").c_str(), (dir / "link.jpg").c_str(), 80, 0), ZAREZU_NOT_A_BMP);
    EXPECT_EQ(Slurp(dir / "out.jpg"), "old");
    EXPECT_EQ(Converter()((dir / "a.bmp").c_str(), (dir / "link.jpg").c_str(), 80, 0), ZAREZU_OK);
    EXPECT_TRUE(fs::is_symlink(dir / "link.jpg"));
    EXPECT_EQ(Slurp(dir / "out.jpg").substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(Slurp(dir / "twin.jpg"), "old");
}

// Run by on_full_disk.sh with ZEBRIX_TEST_FULL_DISK naming a full tmpfs that
// holds old.bmp ("precious") and its hard-linked twin.bmp.
TEST(Hardening, AFullDiskLosesNoFile)
{
    const char* full = std::getenv("ZEBRIX_TEST_FULL_DISK");
    if (!full)
        GTEST_SKIP() << "needs a full disk: run through on_full_disk.sh";
    const std::string old = std::string(full) + "/old.bmp", twin = std::string(full) + "/twin.bmp";
    const Folder elsewhere;
    ASSERT_EQ(RunCli({"-o", elsewhere / "a.bmp", "A"}).status, 0);
    Spill(elsewhere / "in", Lines(50));
    const Result runs[] = {
        RunCli({"-o", old, "A"}),
        RunCli({"--batch", elsewhere / "in", "-o", std::string(full) + "/{n}.bmp"}),
        RunCli({"--batch", elsewhere / "in", "-o", std::string(full) + "/old.bmp"}),
    };
    for (const auto& r : runs) {
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    }
    ASSERT_NE(Converter(), nullptr) << ::dlerror();
    EXPECT_EQ(Converter()((elsewhere / "a.bmp").c_str(), old.c_str(), 100, 0), ZAREZU_CANNOT_WRITE);
    EXPECT_EQ(Slurp(old), "precious");
    EXPECT_EQ(Slurp(twin), "precious");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(full))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"filler", "old.bmp", "twin.bmp"}));
}

TEST(Hardening, MessagesComeAsLinesAreReadAndShowNoControlCharacter)
{
    // Messages are written while the input is still open: they are not kept
    // until the end (memory: bench/batch_memory.sh).
    const Folder dir;
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
        if (n > 0)
            said.append(buffer, static_cast<std::size_t>(n));
        return n;
    };
    for (int i = 0; i < 2000 && said.find("line 400:") == std::string::npos; ++i)
        if (read() <= 0)
            std::this_thread::sleep_for(5ms);
    EXPECT_NE(said.find("line 400:"), std::string::npos) << "no message before the end of the input";
    ::close(in[1]);
    EXPECT_EQ(Wait(pid), 2);
    while (read() > 0) {
    }
    ::close(err[0]);
    for (const char* shown : {"line 2: \xC3\xA9 : Caract", "line 502: U+0009 : Caract", "line 503: U+001B : Caract",
                              "line 504: U+007F : Caract", "line 505: U+202E : Caract", "line 506: U+009B : Caract"})
        EXPECT_NE(said.find(shown), std::string::npos) << shown << "\n" << said;
    for (const char c : said)
        EXPECT_TRUE(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)) << int(c);
    EXPECT_TRUE(Whole(dir / "1.bmp"));
}

TEST(Hardening, OptionsOutOfRangeOrWithAValueTheyDoNotTakeAreUsageErrors)
{
    const Folder dir;
    const std::string jpg = dir / "a.jpg";
    const struct {
        std::vector<std::string> args;
        std::string says;
    } rows[] = {
        {{"--verify=no", "-o", jpg, "A"}, "--verify takes no value"},
        {{"--help=1"}, "--help takes no value"},
        {{"--no-label=1", "-o", jpg, "A"}, "--no-label takes no value"},
        {{"--dpi", "70000", "-o", jpg, "A"}, "from 1 to 65535"},
        {{"--dpi", "0", "-o", jpg, "A"}, "from 1 to 65535"},
        {{"-w", "65535", "-o", jpg, "A"}, "from 1 to 65500"},
        {{"-w", "40000", "--scale", "2", "-o", jpg, "A"}, "from 1 to 32750"},
        {{"-w", "65536", "-o", dir / "a.bmp", "A"}, "from 1 to 65535"},
        {{"--scale", "101", "-o", jpg, "A"}, "from 1 to 100"},
        {{"--quality", "19", "-o", jpg, "A"}, "from 20 to 100"},
    };
    for (const auto& row : rows) {
        const auto r = RunCli(row.args);
        EXPECT_EQ(r.status, 2) << row.args.front();
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
    }
    EXPECT_TRUE(dir.entries().empty());
}

TEST(Hardening, ClosedOrFullStandardStreamsStopMessagesNotFiles)
{
    const int full = ::open("/dev/full", O_WRONLY);
    if (full < 0)
        GTEST_SKIP() << "no /dev/full here";
    const Folder io;
    int err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600);
    EXPECT_EQ(Wait(Start({"--help"}, -1, full, err)), 1);
    ::close(full);
    ::close(err);
    EXPECT_NE(Slurp(io / "err").find("cannot write to standard output"), std::string::npos);

    // A reader of the messages that goes away (| head -1): the batch goes on.
    const Folder dir;
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

TEST(Hardening, ALinkMadeBeforeTheBatchCannotMakeALaterLineOverwriteAnEarlierOne)
{
    const Folder dir;
    ASSERT_EQ(::symlink("1.bmp", (dir / "2.bmp").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "1.bmp").c_str(), (dir / "3.bmp").c_str()), 0);
    const auto r = RunCli({"--batch", "-", "-o", dir / "{n}.bmp"}, "FIRST\nSECOND\nTHIRD\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 2: " + dir / "2.bmp" + " was already written"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 3: " + dir / "3.bmp" + " was already written"), std::string::npos) << r.err;
    const Folder alone;
    ASSERT_EQ(RunCli({"-o", alone / "1.bmp", "FIRST"}).status, 0);
    EXPECT_TRUE(Slurp(dir / "1.bmp") == Slurp(alone / "1.bmp")) << "1.bmp overwritten";
}

TEST(Hardening, StreamedLinesAreTheFilesLinesWhateverTheBlocks)
{
    const std::string inputs[] = {
        "", "A", "A\n", "\xEF\xBB\xBF", "\xEF\xBB\xBF" "A\r\nB", "\n\n", std::string(70000, 'x') + "\r\ny",
        std::string(zebrix::cli::kMaxLineBytes, 'y') + "\nshort\n" + std::string(zebrix::cli::kMaxLineBytes + 1, 'z') + "\nlast",
    };
    for (const auto& input : inputs) {
        const Folder dir;
        Spill(dir / "in", input);
        const int fd = ::open((dir / "in").c_str(), O_RDONLY);
        zebrix::cli::LineReader reader(fd);
        std::vector<std::string> got, expected;
        std::string line;
        for (zebrix::cli::LineReader::Result r; (r = reader.next(line)) != zebrix::cli::LineReader::End;)
            got.push_back(r == zebrix::cli::LineReader::TooLong ? "(too long)" : line);
        ::close(fd);
        for (const auto l : zebrix::cli::SplitLines(input))
            expected.emplace_back(l.size() > zebrix::cli::kMaxLineBytes ? "(too long)" : std::string(l));
        EXPECT_EQ(got, expected) << input.size() << " bytes";
    }
}
