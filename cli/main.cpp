// zebrix-cli: draws barcodes to image files, one or a batch, with the
// window's pixels.
#include "App.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv, argv + argc);
    auto write = [](std::FILE* f) {
        return [f](std::string_view s) {
            std::fwrite(s.data(), 1, s.size(), f);
            std::fflush(f);
        };
    };
    const zebrix::cli::Streams streams{write(stdout), write(stderr), ::isatty(STDERR_FILENO) == 1};
    const int status = zebrix::cli::RunCli(args, streams);
    return status;
}
