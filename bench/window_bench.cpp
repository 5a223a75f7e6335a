// What a keystroke in the main window costs: the line edit's own work, the
// barcode drawn again, and both widgets repainted. Target: well under 16 ms
// (one frame at 60 Hz) with a 1,000,000-character text.
#include "MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QRadioButton>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>

using namespace zebrix;

namespace {

// A text of the given length that the symbology takes whole.
QString SampleText(int index, int length)
{
    static const char* const pieces[] = {"ZEBRIX 1.0 ", "0123456789", "Zebrix 1.0! ", "0123456789-$:/.+"};
    const QString piece = QString::fromLatin1(pieces[index]);
    QString text;
    text.reserve(length + piece.size());
    while (text.size() < length)
        text += piece;
    text.truncate(length);
    return text;
}

struct Window {
    explicit Window(int index)
    {
        form = std::make_unique<MainWindow>();
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            throw std::runtime_error("the window did not show");
        form->symbologyButton(static_cast<zebrix::Symbology>(index))->setChecked(true);
    }
    std::unique_ptr<MainWindow> form;
};

// One change of the text field per iteration, typed at the end of the text: a character,
// then a backspace, so the length stays put.
void BM_Keystroke(benchmark::State& state)
{
    const int index = static_cast<int>(state.range(0));
    const int length = static_cast<int>(state.range(1));
    Window w(index);
    LongLineEdit* field = w.form->textField();
    field->setText(SampleText(index, length));
    field->setFocus();
    field->end(false);
    const char key = index == 1 || index == 3 ? '7' : 'A';
    bool typing = true;
    for (auto _ : state) {
        if (typing)
            QTest::keyClick(field, key);
        else
            QTest::keyClick(field, Qt::Key_Backspace);
        typing = !typing;
        field->repaint();
        w.form->barcodeView()->repaint();
    }
    state.SetLabel(QStringLiteral("%1 characters").arg(field->text().size()).toStdString());
}
BENCHMARK(BM_Keystroke)
    ->ArgNames({"symbology", "length"})
    ->ArgsProduct({{0, 1, 2, 3}, {10, 100000, 1000000}}) // 10: read back after every keystroke
    ->Unit(benchmark::kMillisecond);

// The program's own part of a change: the barcode drawn again from the text
// and the surface repainted, without the line edit's layout of the text.
void BM_Redraw(benchmark::State& state)
{
    const int index = static_cast<int>(state.range(0));
    Window w(index);
    w.form->textField()->setText(SampleText(index, static_cast<int>(state.range(1))));
    for (auto _ : state) {
        w.form->textChanged();
        w.form->barcodeView()->repaint();
    }
}
BENCHMARK(BM_Redraw)
    ->ArgNames({"symbology", "length"})
    ->ArgsProduct({{0, 1, 2, 3}, {100000, 1 << 20}})
    ->Unit(benchmark::kMillisecond);

// From a keystroke to its verdict shown, for a text of normal length that
// must be read (Code 128, exact spaces): the drawing, the picture read with
// ZXing-C++ on the reading thread, the result shown. Target: under 100 ms.
void BM_VerdictAfterKeystroke(benchmark::State& state)
{
    Window w(2);
    w.form->optionBox(OptionBox::WidenSpaces)->setChecked(false);
    LongLineEdit* field = w.form->textField();
    field->setText(QStringLiteral("Zebrix 1.0 - 0123"));
    field->setFocus();
    field->end(false);
    VerdictIndicator* indicator = w.form->verdictIndicator();
    bool typing = true;
    for (auto _ : state) {
        QTest::keyClick(field, typing ? Qt::Key_A : Qt::Key_Backspace);
        typing = !typing;
        while (!indicator->verdict())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (indicator->verdict()->kind != Verdict::Kind::Reads)
            state.SkipWithError("the barcode does not read");
    }
}
BENCHMARK(BM_VerdictAfterKeystroke)->UseRealTime()->Unit(benchmark::kMillisecond);

// The paste command with a megabyte on the clipboard (two texts in turn, so
// each paste changes the text).
void BM_PasteMegabyte(benchmark::State& state)
{
    Window w(2);
    const QString a = SampleText(2, 1 << 20);
    const QString b = QString(a).replace(0, 1, QLatin1Char('B'));
    bool first = true;
    for (auto _ : state) {
        QGuiApplication::clipboard()->setText(first ? a : b);
        first = !first;
        w.form->pasteText();
        w.form->textField()->repaint();
        w.form->barcodeView()->repaint();
    }
}
BENCHMARK(BM_PasteMegabyte)->Unit(benchmark::kMillisecond);

// Memory: the resident size's growth from the "..." paste of a megabyte and
// 20 keystrokes after it (the text, its slice, the undo steps, the drawing).
double ResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
    return 0;
}

void BM_PasteMegabyteMemory(benchmark::State& state)
{
    for (auto _ : state) {
        Window w(2);
        QGuiApplication::clipboard()->setText(SampleText(2, 1 << 20));
        QCoreApplication::processEvents();
        const double before = ResidentMiB();
        w.form->pasteText();
        for (int i = 0; i < 20; ++i)
            QTest::keyClick(w.form->textField(), Qt::Key_A);
        w.form->textField()->repaint();
        w.form->barcodeView()->repaint();
        state.counters["MiB"] = ResidentMiB() - before;
    }
}
BENCHMARK(BM_PasteMegabyteMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
