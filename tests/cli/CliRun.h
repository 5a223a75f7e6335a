#pragma once
// Runs zebrix-cli as a user would, in a folder of its own, and reads what it
// wrote. No Qt: the program under test has none either.
#include "barcode/Paint.h"
#include "cli/ReadBack.h"
#include "output/files/ImageFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zebrix::test {

// A fresh folder, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::string name = (std::filesystem::temp_directory_path() / "zebrix-cli-XXXXXX").string();
        path_ = ::mkdtemp(name.data()) ? name : std::string();
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }
    // Names of the entries, hidden ones included, sorted.
    std::vector<std::string> entries(const std::string& sub = {}) const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(sub.empty() ? path_ : *this / sub))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

inline std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Spill(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

struct CliRun {
    int status = -1; // the exit code, -1 when killed
    std::string out, err;
};

// zebrix-cli with these arguments, standard input, and extra NAME=VALUE
// variables over the environment.
inline CliRun RunZebrixCli(const std::vector<std::string>& args, const std::string& input = {},
                           const std::vector<std::string>& env = {})
{
    const TempDir io;
    Spill(io / "in", input);
    std::vector<std::string> vars;
    for (char** e = environ; *e; ++e)
        vars.emplace_back(*e);
    for (const std::string& v : env) {
        const std::string name = v.substr(0, v.find('=') + 1);
        std::erase_if(vars, [&](const std::string& old) { return old.rfind(name, 0) == 0; });
        vars.push_back(v);
    }
    std::vector<char*> argv{const_cast<char*>(ZEBRIX_CLI)}, envp;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (auto& v : vars)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open((io / "in").c_str(), O_RDONLY);
        const int out = ::open((io / "out").c_str(), O_WRONLY | O_CREAT, 0600);
        const int err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execve(ZEBRIX_CLI, argv.data(), envp.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(io / "out"), Slurp(io / "err")};
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

// What ZXing-C++ reads in a picture.
inline std::vector<std::string> Scan(const Bitmap& bitmap, Symbology symbology, const Options& options)
{
    std::vector<std::uint8_t> gray(bitmap.pixels.size());
    for (std::size_t i = 0; i < gray.size(); ++i)
        gray[i] = bitmap.pixels[i] ? 0 : 255;
    return ReadBarcodes(gray.data(), bitmap.w, bitmap.h, bitmap.w, symbology, options);
}

// The drawing painted on a width x 67 picture: what every output shows.
inline Bitmap Painted(Symbology symbology, std::u16string_view text, const Options& options, int width)
{
    Bitmap bitmap(width, 67);
    PaintBars(Encode(symbology, text, options, width), bitmap);
    return bitmap;
}

inline bool Same(const Bitmap& a, const Bitmap& b) { return a.w == b.w && a.h == b.h && a.pixels == b.pixels; }

} // namespace zebrix::test
