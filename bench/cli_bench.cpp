// zebrix-cli's costs per label, without the process around it: laying out,
// painting and encoding one label, and whole batches written to disk with one
// and with every core.
#include "barcode/Paint.h"
#include "cli/Batch.h"
#include "cli/Layout.h"
#include "output/files/ImageFiles.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace zebrix;
using namespace zebrix::cli;

namespace {

std::string Lines(int n)
{
    std::string lines;
    char buf[64];
    for (int i = 1; i <= n; ++i) {
        std::snprintf(buf, sizeof buf, "ZBX-%06d-%c%c%02d\n", i, 'A' + i % 26, 'A' + (i / 26) % 26, i % 100);
        lines += buf;
    }
    return lines;
}

void BM_DrawAndEncodeOneLabel(benchmark::State& state)
{
    const auto type = static_cast<ImageType>(state.range(0));
    RenderRequest request;
    request.symbology = Symbology::Code128;
    request.text = u"ZBX-004217-QK17";
    for (auto _ : state) {
        const Layout layout = LayOut(request);
        std::string bytes;
        if (type == ImageType::Svg) {
            bytes = EncodeSvg(layout.drawing, layout.width, request.height, {});
        } else {
            Bitmap bitmap(layout.width, request.height);
            PaintBars(layout.drawing, bitmap);
            bytes = type == ImageType::Bmp ? EncodeBmp(bitmap, {}) : EncodePng(bitmap, {});
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetLabel(type == ImageType::Bmp ? "BMP" : type == ImageType::Png ? "PNG" : "SVG");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawAndEncodeOneLabel)
    ->Arg(static_cast<int>(ImageType::Bmp))
    ->Arg(static_cast<int>(ImageType::Png))
    ->Arg(static_cast<int>(ImageType::Svg))
    ->Unit(benchmark::kMicrosecond);

// A batch of 2,000 labels to BMP files, the way zebrix-cli --batch writes them.
void BM_Batch(benchmark::State& state)
{
    const std::string input = Lines(2000);
    const auto dir = std::filesystem::temp_directory_path() / "zebrix-bench-batch";
    std::string why;
    BatchSettings settings{
        {}, *NameTemplate::Parse((dir / "{n:05}.bmp").string(), why), {}, static_cast<int>(state.range(0)), false};
    settings.base.symbology = Symbology::Code128;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        state.ResumeTiming();
        const BatchCounts counts = RunBatch(input, settings, [](std::string_view) {});
        if (counts.written != 2000)
            state.SkipWithError("not every label was written");
    }
    std::filesystem::remove_all(dir);
    state.SetItemsProcessed(state.iterations() * 2000);
    state.SetLabel(std::to_string(state.range(0)) + " thread(s)");
}
BENCHMARK(BM_Batch)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
