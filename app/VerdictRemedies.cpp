#include "VerdictRemedies.h"

#include "MainWindow.h"

#include <QCheckBox>
#include <QScreen>

#include <algorithm>

namespace zebrix {

namespace {

// The outer width of a window that shows its barcode whole, with a margin as
// wide as the one on its left where there is room; 0 when the screen's
// available width cannot show it whole.
int OuterWidthShowingWhole(const MainWindow& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return 0;
    const int widest = screen->availableGeometry().width();
    const int widestSurface = MainWindow::SurfaceWidthFor(widest);
    const QString text = window.textField()->text();
    if (text.size() >= widestSurface) // every character takes a pixel at least: no need to lay it out
        return 0;
    const Drawing whole = Encode(window.symbology(),
        std::u16string_view(reinterpret_cast<const char16_t*>(text.constData()), static_cast<std::size_t>(text.size())),
        window.options(), widestSurface);
    if (whole.kind != Drawing::Kind::Bars || whole.cut)
        return 0;
    const auto surface = static_cast<int>(std::min<std::int64_t>(whole.end + kFirstBarX, widestSurface));
    int outer = window.frameGeometry().width() + surface - window.barcodeView()->surfaceWidth();
    while (MainWindow::SurfaceWidthFor(outer) < surface)
        ++outer;
    return std::min(outer, widest);
}

void Widen(MainWindow& window)
{
    const int outer = OuterWidthShowingWhole(window);
    if (outer <= window.frameGeometry().width())
        return;
    window.resize(window.width() + outer - window.frameGeometry().width(), window.height());
    // Kept on the screen: its right edge moves no further than the screen's.
    const QRect area = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    if (frame.right() > area.right())
        window.move(std::max(area.left(), area.right() + 1 - frame.width()), frame.y());
}

} // namespace

std::optional<VerdictIndicator::Remedy> FindRemedy(const Verdict& verdict, MainWindow& window)
{
    if (verdict.reason == Verdict::Reason::WidenedSpaces) {
        QCheckBox* box = window.optionBox(OptionBox::WidenSpaces);
        return VerdictIndicator::Remedy{QStringLiteral("Décocher « Optimisé pour impression » : des espaces exacts"),
            [box] { box->setChecked(false); }};
    }
    if (verdict.reason == Verdict::Reason::Cut && OuterWidthShowingWhole(window) > window.frameGeometry().width())
        return VerdictIndicator::Remedy{
            QStringLiteral("Élargir la fenêtre pour montrer le code barre en entier"), [&window] { Widen(window); }};
    return std::nullopt;
}

} // namespace zebrix
