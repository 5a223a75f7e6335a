// zebrix-cli's costs per label, without the process around it: checking the
// glyph cache (paid by every run), drawing and encoding one label, and
// whole batches written to disk with one and with every core.
#include "cli/Batch.h"
#include "cli/GlyphCache.h"
#include "cli/ImageFiles.h"
#include "cli/Layout.h"
#include "cli/QtServices.h"
#include "cli/qt/QtServicesImpl.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace zebrix;
using namespace zebrix::cli;

namespace {

const GlyphTable& Table()
{
    static const GlyphTable table = [] {
        std::string stamps, why;
        auto t = QtServicesInstance().buildGlyphTable(stamps, why);
        if (!t) {
            std::fprintf(stderr, "no glyph table: %s\n", why.c_str());
            std::exit(1);
        }
        return *t;
    }();
    return table;
}

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

void BM_CheckGlyphCache(benchmark::State& state)
{
    const auto dir = std::filesystem::temp_directory_path() / "zebrix-bench-cache";
    const std::string path = (dir / "label-glyphs.bin").string();
    SaveGlyphCache(path, Table(), FontSetupStamps());
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadGlyphCache(path));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CheckGlyphCache)->Unit(benchmark::kMicrosecond);

void BM_DrawAndEncodeOneLabel(benchmark::State& state)
{
    const auto type = static_cast<ImageType>(state.range(0));
    RenderRequest request;
    request.typeCode = Symbology::Code128;
    request.text = u"ZBX-004217-QK17";
    for (auto _ : state) {
        const Measure m = MeasureBarcode(request);
        std::string why;
        const int width = *ImageWidth(request, m, Table(), why);
        const BitmapSurface drawing = DrawBarcode(request, width, Table());
        std::string bytes = type == ImageType::Bmp ? EncodeBmp(drawing.bitmap(), {})
            : type == ImageType::Png            ? EncodePng(drawing.bitmap(), {})
                                                : EncodeSvg(width, 67, drawing.columns(), drawing.labels(), Table().ascent(), {});
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
    BatchSettings settings{{}, *NameTemplate::Parse((dir / "{n:05}.bmp").string(), why), {}, static_cast<int>(state.range(0)), false};
    settings.base.typeCode = Symbology::Code128;
    UseQtServices(&QtServicesInstance());
    Table();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        LabelSource labels;
        state.ResumeTiming();
        const BatchCounts counts = RunBatch(input, settings, labels, nullptr, [](std::string_view) {});
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
