#include "App.h"

#include "Batch.h"
#include "CommandLine.h"
#include "Printable.h"
#include "Sheet.h"
#include "barcode/Look.h"
#include "barcode/Utf.h"
#include "output/files/FileOutput.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zebrix::cli {

namespace {

int UsageError(const Streams& s, const std::string& why)
{
    s.err("zebrix-cli: " + Printable(why) + "\n");
    s.err(kUsage);
    s.err("Try 'zebrix-cli --help' for more.\n");
    return 2;
}

void Report(const Streams& s, const std::string& what) { s.err("zebrix-cli: " + Printable(what) + "\n"); }

// Lines in a regular file, for the progress bar, without keeping them.
long long CountLines(int fd)
{
    long long breaks = 0;
    char last = '\n';
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        breaks += std::count(buffer, buffer + n, '\n');
        last = buffer[n - 1];
    }
    ::lseek(fd, 0, SEEK_SET);
    return breaks + (last != '\n' ? 1 : 0);
}

// Opens the batch's input: a regular file, a pipe, a socket (as some
// programs hand their children) or a terminal (a named pipe waits for its
// writer, as any reader of a pipe does). Anything else, a device such as
// /dev/zero above all, is refused before a byte is read.
int OpenInput(const std::string& name, bool count, long long& lines, std::string& why)
{
    int fd = STDIN_FILENO;
    if (name != "-") {
        struct stat st { };
        const bool fifo = ::stat(name.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
        do
            fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (fifo ? 0 : O_NONBLOCK));
        while (fd < 0 && errno == EINTR && BatchStop().load() == 0);
        if (fd < 0) {
            why = std::strerror(errno);
            return -1;
        }
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0
        || !(S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)
            || (S_ISCHR(st.st_mode) && ::isatty(fd)))) {
        why = "not a regular file, a pipe, a socket or a terminal";
        if (fd != STDIN_FILENO)
            ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    lines = S_ISREG(st.st_mode) && count ? CountLines(fd) : 0;
    return fd;
}

extern "C" void OnStopSignal(int signal) { BatchStop().store(signal); }

// SIGINT and SIGTERM stop a batch between files, for as long as it runs
// (not when they were ignored from the start, as in a background job).
class StopSignals {
public:
    StopSignals()
    {
        struct sigaction action { };
        action.sa_handler = OnStopSignal; // no SA_RESTART: a blocked read returns
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < 2; ++i) {
            ::sigaction(kSignals[i], nullptr, &previous_[i]);
            if (previous_[i].sa_handler != SIG_IGN)
                ::sigaction(kSignals[i], &action, nullptr);
        }
    }
    ~StopSignals()
    {
        for (int i = 0; i < 2; ++i)
            ::sigaction(kSignals[i], &previous_[i], nullptr);
    }

private:
    static constexpr int kSignals[2] = {SIGINT, SIGTERM};
    struct sigaction previous_[2]{};
};

int RunBatchCommand(const CommandLine& cl, const NameTemplate& names, const OutputSettings& output, const Streams& s)
{
    const std::string inputName = *cl.batch == "-" ? std::string("standard input") : *cl.batch;
    StopSignals signals;
    long long expected = 0;
    std::string why;
    const int fd = OpenInput(*cl.batch, s.errIsTerminal, expected, why);
    if (fd < 0) {
        if (const int signal = BatchStop().load(); signal != 0) {
            Report(s, std::string("interrupted by ") + (signal == SIGINT ? "SIGINT" : "SIGTERM") + ": 0 files written");
            return 128 + signal;
        }
        Report(s, "cannot read " + inputName + ": " + why);
        return 1;
    }
    LineReader reader(fd, &BatchStop());
    // No progress bar over what the user types.
    BatchSettings settings{cl.request, names, output, cl.jobs, s.errIsTerminal && ::isatty(fd) == 0};
    const BatchCounts counts = RunBatch(reader, expected, settings, s.err);
    if (fd != STDIN_FILENO)
        ::close(fd);
    if (counts.stoppedBy != 0) {
        Report(s,
            std::string("interrupted by ") + (counts.stoppedBy == SIGINT ? "SIGINT" : "SIGTERM") + ": "
                + std::to_string(counts.written) + (counts.written == 1 ? " file" : " files")
                + " written, from the first " + std::to_string(counts.lines) + " lines at most");
        return 128 + counts.stoppedBy;
    }
    if (counts.readError != 0) {
        Report(s,
            "cannot read " + inputName + " to its end: " + std::strerror(counts.readError) + " ("
                + std::to_string(counts.written) + " files written)");
        return 1;
    }
    if (counts.lines == 0) {
        Report(s, "no lines to draw in " + inputName);
        return 2;
    }
    if (!counts.unchecked.empty())
        Report(s, counts.unchecked + " (files written: " + std::to_string(counts.written) + ")");
    if (counts.writeErrors > 0)
        return 1;
    if (!counts.unchecked.empty())
        return 4;
    if (counts.unreadable > 0)
        return 3;
    if (counts.failed > 0)
        return 2;
    return 0;
}

// A batch laid out on sheets into one PDF (the input opened as a batch's).
int RunSheetCommand(const CommandLine& cl, const SheetSettings& settings, const Streams& s)
{
    const std::string inputName = *cl.batch == "-" ? std::string("standard input") : *cl.batch;
    StopSignals signals;
    long long expected = 0;
    std::string why;
    const int fd = OpenInput(*cl.batch, false, expected, why);
    if (fd < 0) {
        if (const int signal = BatchStop().load(); signal != 0)
            return Report(s, std::string("interrupted by ") + (signal == SIGINT ? "SIGINT" : "SIGTERM")), 128 + signal;
        return Report(s, "cannot read " + inputName + ": " + why), 1;
    }
    LineReader reader(fd, &BatchStop());
    const SheetCounts counts = RunSheet(reader, settings, s.err);
    if (fd != STDIN_FILENO)
        ::close(fd);
    const std::string nothing = "; " + cl.output + " not written";
    if (counts.stoppedBy != 0)
        return Report(
                   s, std::string("interrupted by ") + (counts.stoppedBy == SIGINT ? "SIGINT" : "SIGTERM") + nothing),
               128 + counts.stoppedBy;
    if (counts.readError != 0)
        return Report(s, "cannot read " + inputName + " to its end: " + std::strerror(counts.readError) + nothing), 1;
    if (!counts.writeError.empty())
        return Report(s, counts.writeError), 1;
    if (!counts.refused.empty())
        return Report(s, counts.refused + nothing), 2;
    if (counts.tooBig > 0)
        return Report(s,
                   std::to_string(counts.tooBig) + (counts.tooBig == 1 ? " label does" : " labels do")
                       + " not fit the sheet's cells" + nothing),
               2;
    if (counts.labels == 0)
        return Report(s, "no lines to draw in " + inputName + nothing), 2;
    if (!counts.unchecked.empty())
        return Report(s, counts.unchecked + " (" + cl.output + " written)"), 4;
    return counts.unreadable > 0 ? 3 : counts.failed > 0 ? 2 : 0;
}

} // namespace

int RunCli(const std::vector<std::string>& args, const Streams& s)
{
    std::string why;
    const auto cl = ParseCommandLine(args, why);
    if (!cl)
        return UsageError(s, why);
    if (cl->help) {
        s.out(kUsage);
        s.out("\n");
        s.out(kHelp);
        return 0;
    }
    if (cl->version) {
        s.out("zebrix-cli " ZEBRIX_VERSION "\n");
        return 0;
    }

    const bool pdf = IsPdfName(cl->output);
    if (!pdf && (cl->module || cl->barHeight || cl->sheet))
        return UsageError(s, "--module, --height and --sheet are for a PDF (-o FILE.pdf)");
    if (pdf) {
        SheetSettings paper{cl->request, {cl->module.value_or(0.26), cl->barHeight.value_or(0)}, {},
            cl->start.value_or(1), cl->copies.value_or(1), cl->verify, cl->verifyDpi, cl->output};
        if (!cl->batch) {
            paper.base.text = *cl->text;
            return RunPdfLabel(paper.base, paper, s.err);
        }
        if (!cl->sheet)
            return UsageError(s, "a batch into a PDF lays its labels out on sheets: give --sheet");
        const auto sheet = ParseSheet(*cl->sheet, why);
        if (!sheet)
            return UsageError(s, why);
        if (paper.start > sheet->cells())
            return UsageError(s,
                "--start " + std::to_string(paper.start) + ": the sheet has " + std::to_string(sheet->cells())
                    + " cells");
        paper.sheet = *sheet;
        return RunSheetCommand(*cl, paper, s);
    }

    OutputSettings output;
    std::optional<NameTemplate> names;
    if (cl->batch) {
        names = NameTemplate::Parse(cl->output, why);
        if (!names)
            return UsageError(s, why);
    }
    // The type comes from the name as given, not from what a line puts in it.
    const auto type = ImageTypeOf(names ? names->Expand(1, u"x") : cl->output);
    if (!type) {
        const auto dot = cl->output.rfind('.');
        const std::string ext = dot == std::string::npos ? std::string() : cl->output.substr(dot + 1);
        return UsageError(s, "unknown image type \"" + ext + "\" (use .bmp, .png, .svg or .jpg)");
    }
    output.type = *type;
    output.quality = cl->quality;
    output.verify = cl->verify;
    output.resolution.scale = cl->scale;
    output.resolution.dpi = cl->dpi ? *cl->dpi : static_cast<double>(kDotsPerInch) * cl->scale;

    if (output.type == ImageType::Jpeg && static_cast<long long>(cl->request.width) * cl->scale > kMaxJpegSide)
        return UsageError(s,
            "-w needs a width from 1 to " + std::to_string(kMaxJpegSide / cl->scale) + " pixels for a JPEG (at most "
                + std::to_string(kMaxJpegSide) + " dots wide, --scale included)");
    if (cl->batch)
        return RunBatchCommand(*cl, *names, output, s);

    RenderRequest request = cl->request;
    request.text = *cl->text;
    const Layout layout = LayOut(request);
    if (!layout.problem.empty()) {
        Report(s, layout.problem);
        return 2;
    }
    if (auto tooBig = CheckSize(layout.width, request.height, output.resolution, output.type); !tooBig.empty()) {
        Report(s, tooBig);
        return 2;
    }
    const Product p = ProduceImage(request, layout, cl->output, output);
    if (!p.message.empty())
        Report(s, p.message);
    switch (p.status) {
    case Product::Written: return 0;
    case Product::WriteFailed: return 1;
    case Product::Unreadable: return 3;
    case Product::NotChecked: return 4;
    }
    return 0;
}

} // namespace zebrix::cli
