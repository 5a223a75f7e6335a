#include "App.h"

#include "Batch.h"
#include "CommandLine.h"
#include "output/files/FileOutput.h"
#include "barcode/Utf.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace zebrix::cli {

namespace {

constexpr std::size_t kMaxBatchBytes = std::size_t{1} << 32; // 4 GiB of text

int UsageError(const Streams& s, const std::string& why)
{
    s.err("zebrix-cli: " + why + "\n");
    s.err(kUsage);
    s.err("Try 'zebrix-cli --help' for more.\n");
    return 2;
}

bool ReadInput(const std::string& name, std::string& data)
{
    if (name != "-")
        return ReadWholeFile(name, data, kMaxBatchBytes);
    data.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        if (data.size() + static_cast<std::size_t>(n) > kMaxBatchBytes)
            return false;
        data.append(buffer, static_cast<std::size_t>(n));
    }
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
    output.resolution.dpi = cl->dpi ? *cl->dpi : 96.0 * cl->scale;

    if (cl->batch) {
        std::string input;
        if (!ReadInput(*cl->batch, input)) {
            s.err("zebrix-cli: cannot read " + (*cl->batch == "-" ? std::string("standard input") : *cl->batch)
                  + (errno ? std::string(": ") + std::strerror(errno) : std::string()) + "\n");
            return 1;
        }
        BatchSettings settings{cl->request, *names, output, cl->jobs, s.errIsTerminal};
        const BatchCounts counts = RunBatch(input, settings, s.err);
        if (counts.lines == 0) {
            s.err("zebrix-cli: no lines to draw in " + (*cl->batch == "-" ? std::string("standard input") : *cl->batch) + "\n");
            return 2;
        }
        if (counts.writeErrors > 0)
            return 1;
        if (counts.unreadable > 0)
            return 3;
        if (counts.failed > 0)
            return 2;
        return 0;
    }

    RenderRequest request = cl->request;
    request.text = *cl->text;
    const Layout layout = LayOut(request);
    if (!layout.problem.empty()) {
        s.err("zebrix-cli: " + layout.problem + "\n");
        return 2;
    }
    if (auto tooBig = CheckSize(layout.width, request.height, output.resolution); !tooBig.empty()) {
        s.err("zebrix-cli: " + tooBig + "\n");
        return 2;
    }
    const Product p = ProduceImage(request, layout, cl->output, output);
    if (!p.message.empty())
        s.err("zebrix-cli: " + p.message + "\n");
    switch (p.status) {
    case Product::Written: return 0;
    case Product::WriteFailed: return 1;
    case Product::Unreadable: return 3;
    }
    return 0;
}

} // namespace zebrix::cli
