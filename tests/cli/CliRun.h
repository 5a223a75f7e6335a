#pragma once
// Runs zebrix-cli as a user would, under a deadline, and reads what it wrote.
// No Qt: the program under test has none either.
#include "barcode/Paint.h"
#include "cli/ReadBack.h"
#include "output/files/ImageFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zebrix::test {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// A fresh folder, removed with everything in it.
struct TempDir {
    std::string path;
    TempDir() : path((fs::temp_directory_path() / "zebrix-cli-XXXXXX").string()) { ::mkdtemp(path.data()); }
    ~TempDir() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    Strings entries() const { return Entries(path); }
    static Strings Entries(const std::string& folder) // sorted, hidden ones included
    {
        Strings names;
        for (const auto& e : fs::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

inline std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void Spill(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// zebrix-cli with its standard streams on these descriptors (-1: /dev/null)
// and extra NAME=VALUE variables.
inline pid_t Start(const Strings& args, int in = -1, int out = -1, int err = -1, Strings env = {})
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
        for (auto& v : env)
            ::putenv(v.data());
        ::execv(ZEBRIX_CLI, argv.data());
        ::_exit(127);
    }
    return pid;
}

// The exit status, 128 + N when killed by signal N; a hang is killed and fails.
inline int Wait(pid_t pid, std::chrono::seconds limit = 60s)
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
        std::this_thread::sleep_for(2ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct CliRun {
    int status;
    std::string out, err;
};

inline CliRun RunZebrixCli(const Strings& args, const std::string& input = {}, const Strings& env = {})
{
    const TempDir io;
    Spill(io / "in", input);
    const int in = ::open((io / "in").c_str(), O_RDONLY), out = ::open((io / "out").c_str(), O_WRONLY | O_CREAT, 0600),
              err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600);
    const int status = Wait(Start(args, in, out, err, env));
    for (const int fd : {in, out, err})
        ::close(fd);
    return {status, Slurp(io / "out"), Slurp(io / "err")};
}

// A BMP, PNG, JPEG or SVG file as black and white pixels (an SVG's bars only).
inline Bitmap ReadPicture(const std::string& path)
{
    GrayImage gray;
    std::string why;
    const bool read = path.ends_with(".svg") ? RasterizeSvgBars(Slurp(path), gray) : ReadImageFile(path, gray, why);
    EXPECT_TRUE(read) << path << ": " << why;
    Bitmap bitmap(gray.width, gray.height);
    for (int y = 0; y < gray.height; ++y)
        for (int x = 0; x < gray.width; ++x)
            if (gray.pixels[static_cast<std::size_t>(y) * gray.width + x] < 128)
                bitmap.setBlack(x, y);
    return bitmap;
}

// What ZXing-C++ reads in a file.
inline Strings Scan(const std::string& path, Symbology symbology)
{
    const Bitmap bitmap = ReadPicture(path);
    std::vector<std::uint8_t> gray(bitmap.pixels.size());
    for (std::size_t i = 0; i < gray.size(); ++i)
        gray[i] = bitmap.pixels[i] ? 0 : 255;
    return ReadBarcodes(gray.data(), bitmap.w, bitmap.h, bitmap.w, symbology, Options{0, 1, 0});
}

// Whether a file holds the drawing painted on a width x 67 picture, label or not.
inline bool HoldsPainted(const std::string& path, Symbology symbology, std::u16string_view text, Options options,
                         int width, bool label = true)
{
    Drawing drawing = Encode(symbology, text, options, width);
    drawing.labelShown = drawing.labelShown && label;
    Bitmap painted(width, 67);
    PaintBars(drawing, painted);
    const Bitmap read = ReadPicture(path);
    return read.w == width && read.h == 67 && read.pixels == painted.pixels;
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace zebrix::test
