#pragma once
#include "Layout.h"

#include <optional>
#include <string>
#include <vector>

namespace zebrix::cli {

struct CommandLine {
    RenderRequest request;
    std::string output;
    int quality = 100;
    std::optional<std::u16string> text;
    std::optional<std::string> batch; // a file, or "-" for standard input
    bool verify = false;
    int scale = 1;
    std::optional<double> dpi; // default 96 x scale
    int jobs = 0;
    // A PDF's paper: the module and the bars' height in millimetres (0: the
    // drawing's), a batch's sheet, its first cell and copies, --verify's dpi.
    std::optional<double> module, barHeight;
    std::optional<std::string> sheet;
    std::optional<int> start, copies;
    double verifyDpi = 300;
    bool help = false;
    bool version = false;
};

// Nothing, and why, for a command line that does not make sense.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args, std::string& why);

extern const char* const kUsage;
extern const char* const kHelp;

} // namespace zebrix::cli
