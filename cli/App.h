#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zebrix::cli {

struct Streams {
    std::function<void(std::string_view)> out;
    std::function<void(std::string_view)> err;
    bool errIsTerminal = false;
};

// zebrix-cli itself: the arguments (argv[0] first), the exit status.
int RunCli(const std::vector<std::string>& args, const Streams& streams);

} // namespace zebrix::cli
