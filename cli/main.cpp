// zebrix-cli: draws barcodes to image files, one or a batch, with the
// window's pixels.
#include "App.h"
#include "output/files/FileOutput.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// Writes to a descriptor, unbuffered; after a failure (a full device, a
// reader gone) nothing more is written there and the error is kept.
class Output {
public:
    explicit Output(int fd)
        : fd_(fd)
    {
    }
    void operator()(std::string_view s)
    {
        while (error_ == 0 && !s.empty()) {
            const ssize_t n = ::write(fd_, s.data(), s.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : EIO;
                return;
            }
            s.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    int error() const { return error_; }

private:
    int fd_;
    int error_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (!zebrix::OpenClosedStandardStreams())
        return 1;
    // A reader that closes the pipe (| head -1) ends the messages, not the
    // program: its files are still written, and the failure reported.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args(argv, argv + argc);
    Output out(STDOUT_FILENO), err(STDERR_FILENO);
    const zebrix::cli::Streams streams{
        [&](std::string_view s) { out(s); }, [&](std::string_view s) { err(s); }, ::isatty(STDERR_FILENO) == 1};
    int status = zebrix::cli::RunCli(args, streams);
    if (out.error() != 0) {
        err(std::string("zebrix-cli: cannot write to standard output: ") + std::strerror(out.error()) + "\n");
        if (status == 0)
            status = 1;
    }
    return status;
}
