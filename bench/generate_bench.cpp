// GenerateBarcode onto the window's 481-pixel surface, per symbology and text
// length: what one keystroke costs in drawing.
#include "barcode/Symbologies.h"
#include "qtsurface/ImageSurface.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

std::u16string Text(zebrix::Symbology type, std::size_t n)
{
    const std::u16string alphabet = type == zebrix::Symbology::Code39       ? u"CODE39-ABC "
                                    : type == zebrix::Symbology::Code128    ? u"Hello, World! "
                                    : type == zebrix::Symbology::Codabar    ? u"0123-45$6:7"
                                                                  : u"0123456789";
    std::u16string text;
    text.reserve(n);
    while (text.size() < n)
        text.push_back(alphabet[text.size() % alphabet.size()]);
    return text;
}

void BM_GenerateBarcode(benchmark::State& state)
{
    const auto type = static_cast<zebrix::Symbology>(state.range(0));
    const auto text = Text(type, static_cast<std::size_t>(state.range(1)));
    zebrix::ImageSurface surface; // 481 x 67
    const zebrix::Options options{1, 1, 1};
    for (auto _ : state) {
        zebrix::GenerateBarcode(surface, type, text, options, surface.width());
        benchmark::DoNotOptimize(surface.image().constBits());
    }
    state.SetLabel(type == zebrix::Symbology::Code39            ? "Code39"
                   : type == zebrix::Symbology::Interleaved2of5 ? "I2of5"
                   : type == zebrix::Symbology::Code128         ? "Code128"
                                                                : "Codabar");
}

} // namespace

BENCHMARK(BM_GenerateBarcode)
    ->ArgsProduct({{0, 1, 2, 3}, {10, 1000, 100000, 1000000}})
    ->ArgNames({"type", "chars"})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
