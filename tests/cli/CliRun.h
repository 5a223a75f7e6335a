#pragma once
// zebrix-cli run as a user runs it, a real process: a fresh folder, its files, its exit status and messages.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

inline Strings Entries(const std::string& folder) // sorted, hidden ones included
{
    Strings names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    return std::sort(names.begin(), names.end()), names;
}

struct TempDir { // a fresh folder, removed with everything in it
    std::string path = (fs::temp_directory_path() / "zebrix-cli-XXXXXX").string();
    TempDir() { ::mkdtemp(path.data()); }
    ~TempDir() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    Strings entries() const { return Entries(path); }
};

inline std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
inline void Spill(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
inline Strings With(Strings args, const Strings& more)
{
    return args.insert(args.end(), more.begin(), more.end()), args;
}

inline std::string Lines(
    int count, const std::string& prefix = "ZBX-", const std::string& even = {}) // even lines: other
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += (i % 2 == 0 && !even.empty() ? even : prefix) + std::to_string(i) + "\n";
    return text;
}

inline int Wait(pid_t pid) // the exit status, 128 + N when killed by signal N (a hang runs into the test's timeout)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// zebrix-cli (or a copy) with its standard streams on these descriptors (-1: /dev/null, -2: closed), NAME=VALUE set.
inline pid_t Start(
    const Strings& args, int in = -1, int out = -1, int err = -1, Strings env = {}, const char* cli = ZEBRIX_CLI)
{
    std::vector<char*> argv{const_cast<char*>(cli)};
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR), fds[] = {in, out, err};
        for (int fd = 0; fd < 3; ++fd)
            fds[fd] == -2 ? ::close(fd) : ::dup2(fds[fd] >= 0 ? fds[fd] : null, fd);
        std::signal(SIGINT, SIG_DFL); // as from a terminal, even under a runner that ignores it
        for (auto& v : env)
            ::putenv(v.data());
        ::execv(cli, argv.data());
        ::_exit(127);
    }
    return pid;
}

struct Cli { // a finished run of zebrix-cli: its exit status and what it wrote on its standard streams
    int status;
    std::string out, err;
    Cli(const Strings& args, const std::string& input = {}, const Strings& env = {}, int errorStream = -1,
        const std::string& program = ZEBRIX_CLI)
    {
        const TempDir io;
        Spill(io / "in", input);
        const int fds[]
            = {::open((io / "in").c_str(), O_RDONLY), ::open((io / "out").c_str(), O_WRONLY | O_CREAT, 0600),
                ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600)};
        status = Wait(Start(args, fds[0], fds[1], errorStream != -1 ? errorStream : fds[2], env, program.c_str()));
        for (const int fd : fds)
            ::close(fd);
        out = Slurp(io / "out");
        err = Slurp(io / "err");
    }
};

} // namespace test
