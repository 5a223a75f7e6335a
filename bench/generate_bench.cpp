// Encode for the window's 481-pixel picture and show the drawing on it, per
// symbology and text length: what one keystroke costs in drawing.
#include "qtsurface/BarcodePicture.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

using zebrix::Symbology;

std::u16string Text(Symbology type, std::size_t n)
{
    const std::u16string alphabet = type == Symbology::Code39 ? u"CODE39-ABC "
        : type == Symbology::Code128                          ? u"Hello, World! "
        : type == Symbology::Codabar                          ? u"0123-45$6:7"
                                                              : u"0123456789";
    std::u16string text;
    text.reserve(n);
    while (text.size() < n)
        text.push_back(alphabet[text.size() % alphabet.size()]);
    return text;
}

void BM_EncodeAndShow(benchmark::State& state)
{
    const auto type = static_cast<Symbology>(state.range(0));
    const auto text = Text(type, static_cast<std::size_t>(state.range(1)));
    zebrix::BarcodePicture picture; // 481 x 67
    const zebrix::Options options{1, 1, 1};
    for (auto _ : state) {
        picture.show(zebrix::Encode(type, text, options, picture.width()));
        benchmark::DoNotOptimize(picture.image().constBits());
    }
    state.SetLabel(state.range(0) == 0 ? "Code39"
            : state.range(0) == 1      ? "I2of5"
            : state.range(0) == 2      ? "Code128"
                                       : "Codabar");
}

} // namespace

BENCHMARK(BM_EncodeAndShow)
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
