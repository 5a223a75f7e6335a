// The input events: typing, symbology buttons, option boxes and resizing each
// draw the barcode again, from what the controls hold, and it scans.
#include "WindowFixture.h"

#include <QApplication>

using namespace zebrix;
using namespace zebrix::test;

using MainWindowEvents = WindowTest;

TEST_F(MainWindowEvents, EveryKeystrokeRedrawsAndTheBarcodeScans)
{
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    drawings.clear();
    QTest::keyClicks(&textField(), QStringLiteral("ZEBRIX 1.0"));
    EXPECT_EQ(textField().text(), QLatin1String("ZEBRIX 1.0"));
    ASSERT_EQ(drawings.size(), 10u);
    EXPECT_EQ(ReadZbar(drawings[4].image), "ZEBRI");
    // At start: Code 39, print-optimized spaces, label, no check character.
    EXPECT_EQ(ReadZbar(surface()), "ZEBRIX 1.0");
    EXPECT_EQ(ReadZXing(surface()), "ZEBRIX 1.0");

    QTest::keyClick(&textField(), Qt::Key_Backspace);
    EXPECT_EQ(drawings.size(), 11u);
    EXPECT_EQ(ReadZbar(surface()), "ZEBRIX 1.");
}

TEST_F(MainWindowEvents, SymbologyButtonsSetTheCheckBoxThenDraw)
{
    struct Expected {
        const char* tooltip;
        bool ticked, enabled;
    };
    const Expected table[4] = {
        {"Optionnel", false, true},
        {"Optionnel", false, true},
        {"Non optionnel", true, false},
        {"Non utilisé", false, false},
    };
    textField().setText(QStringLiteral("123456"));
    // Each button, reached from each other with the box ticked and unticked
    // by the user where the user can.
    for (int from = 0; from < 4; ++from)
        for (int to = 0; to < 4; ++to)
            for (bool userTicked : {false, true}) {
                if (from == to)
                    continue;
                SCOPED_TRACE(testing::Message() << from << " -> " << to << " ticked " << userTicked);
                Click(symbologyButton(from));
                if (addCheckBox().isEnabled())
                    addCheckBox().setChecked(userTicked);
                widenSpacesBox().setChecked(false);
                drawings.clear();

                Click(symbologyButton(to));
                EXPECT_TRUE(symbologyButton(to).isChecked());
                EXPECT_EQ(addCheckBox().toolTip(), QString::fromUtf8(table[to].tooltip));
                EXPECT_EQ(addCheckBox().isChecked(), table[to].ticked);
                EXPECT_EQ(addCheckBox().isEnabled(), table[to].enabled);
                EXPECT_EQ(symbologyIndex(), to);
                ASSERT_FALSE(drawings.empty());
                EXPECT_EQ(drawings.back().symbology, to);
                // Every symbology takes these digits; no check character
                // scans along (Code 128's is not part of the text read).
                EXPECT_EQ(ReadZXing(surface()), "123456");
            }
}

TEST_F(MainWindowEvents, AChangedCheckBoxDrawsFirstWithThePreviousSymbology)
{
    textField().setText(QStringLiteral("123456"));
    widenSpacesBox().setChecked(false); // no wider spaces: exact ratios for the readers
    drawings.clear();

    // Code 39 -> Code 128 ticks the box: Code 39 with its check character
    // ("L": 21 modulo 43), then Code 128. The box has its new tooltip when it
    // is ticked, and is disabled only afterwards.
    Click(symbologyButton(2));
    ASSERT_EQ(drawings.size(), 2u);
    EXPECT_EQ(drawings[0].symbology, 0);
    EXPECT_EQ(ReadZbar(drawings[0].image), "123456L");
    EXPECT_EQ(drawings[0].addCheckTooltip, QLatin1String("Non optionnel"));
    EXPECT_TRUE(drawings[0].addCheckEnabled);
    EXPECT_FALSE(drawings[1].addCheckEnabled);
    EXPECT_EQ(drawings[1].symbology, 2);
    EXPECT_EQ(ReadZXing(drawings[1].image), "123456");

    // Code 128 -> Code 39 unticks it: Code 128 once more, then Code 39 without
    // a check character.
    drawings.clear();
    Click(symbologyButton(0));
    ASSERT_EQ(drawings.size(), 2u);
    EXPECT_EQ(drawings[0].symbology, 2);
    EXPECT_EQ(drawings[1].symbology, 0);
    EXPECT_EQ(ReadZbar(drawings[1].image), "123456");

    // The user ticks it (one drawing), then Interleaved 2 of 5 unticks it.
    drawings.clear();
    Click(addCheckBox());
    ASSERT_EQ(drawings.size(), 1u);
    EXPECT_EQ(ReadZbar(drawings[0].image), "123456L");
    drawings.clear();
    Click(symbologyButton(1));
    ASSERT_EQ(drawings.size(), 2u);
    EXPECT_EQ(drawings[0].symbology, 0);
    EXPECT_EQ(ReadZbar(drawings[0].image), "123456");
    EXPECT_EQ(drawings[1].symbology, 1);
    EXPECT_EQ(ReadZbar(drawings[1].image), "123456");

    // Nothing changes on the box: a single drawing.
    drawings.clear();
    Click(symbologyButton(3));
    ASSERT_EQ(drawings.size(), 1u);
    EXPECT_EQ(drawings[0].symbology, 3);
}

TEST_F(MainWindowEvents, AnIndexOutsideTheButtonsSetsNothingAndDrawsNothing)
{
    widenSpacesBox().setChecked(false);
    textField().setText(QStringLiteral("AB"));
    const QImage before = surface();
    for (std::int16_t index : {std::int16_t(4), std::int16_t(-1), std::int16_t(32767)}) {
        form->chooseSymbology(static_cast<Symbology>(index));
        EXPECT_EQ(symbologyIndex(), index);
        EXPECT_EQ(addCheckBox().toolTip(), QLatin1String("Optional"));
        EXPECT_TRUE(addCheckBox().isEnabled());
        EXPECT_EQ(surface(), before);
    }
    form->chooseSymbology(Symbology::Code128);
    EXPECT_EQ(ReadZXing(surface()), "AB");
}

TEST_F(MainWindowEvents, OptionBoxesRedrawWithTheirNewValue)
{
    textField().setText(QStringLiteral("AB"));
    const auto barBottom = [this] {
        int y = 0;
        while (y + 1 < surface().height() && surface().pixel(20, y + 1) == qRgb(0, 0, 0))
            ++y;
        return y;
    };
    EXPECT_EQ(barBottom(), 50);
    drawings.clear();
    Click(addLabelBox()); // no label: bars to y = 58
    EXPECT_EQ(drawings.size(), 1u);
    EXPECT_EQ(barBottom(), 58);
    EXPECT_TRUE(AllWhite(surface(), QRect(0, 59, surface().width(), 8)));

    // P widens the spaces: the second bar moves right.
    const auto secondBar = [this] {
        int x = 21;
        while (surface().pixel(x, 10) == qRgb(0, 0, 0))
            ++x;
        while (surface().pixel(x, 10) != qRgb(0, 0, 0))
            ++x;
        return x;
    };
    const int withP = secondBar();
    Click(widenSpacesBox());
    EXPECT_EQ(drawings.size(), 2u);
    EXPECT_EQ(secondBar(), withP - 1);
}

TEST_F(MainWindowEvents, TheSurfaceFollowsTheWindowWidth)
{
    textField().setText(QStringLiteral("ZEBRIX"));
    const QImage first = surface();
    const int surfaceWidth = form->barcodeView()->width();
    const int outer = form->frameGeometry().width();
    EXPECT_EQ(surfaceWidth, MainWindow::SurfaceWidthFor(outer));

    for (int delta : {+120, -200}) {
        SCOPED_TRACE(delta);
        drawings.clear();
        form->resize(form->width() + delta, form->height());
        QApplication::processEvents();
        EXPECT_EQ(form->barcodeView()->width(), surfaceWidth + delta);
        EXPECT_EQ(surface().width(), surfaceWidth + delta);
        EXPECT_EQ(form->barcodeView()->pos(), QPoint(8, 168));
        EXPECT_EQ(form->barcodeView()->height(), 67);
        ASSERT_FALSE(drawings.empty());
        // Drawn again at the same place and size.
        const int common = std::min(first.width(), surface().width());
        EXPECT_EQ(surface().copy(0, 0, common, 67), first.copy(0, 0, common, 67));
        form->resize(form->width() - delta, form->height());
    }
}

TEST_F(MainWindowEvents, AWindowNarrowerThan380TwipsKeepsAOnePixelSurface)
{
    // 15 twips to the pixel, 380 twips off the outer width, rounded.
    EXPECT_EQ(MainWindow::SurfaceWidthFor(505), 480);
    EXPECT_EQ(MainWindow::SurfaceWidthFor(27), 2); // 25 twips
    for (int outer : {26, 25, 0, -5})
        EXPECT_EQ(MainWindow::SurfaceWidthFor(outer), 1) << outer;

    textField().setText(QStringLiteral("ZEBRIX"));
    for (int width : {20, 1}) {
        form->resize(width, form->height());
        QApplication::processEvents();
        EXPECT_EQ(form->barcodeView()->width(), 1);
        EXPECT_EQ(surface().width(), 1);
        form->copyBarcode(); // a one-pixel copy, no failure
        EXPECT_EQ(clipboard.images.back().size(), QSize(1, 67));
    }
    form->resize(497, 245);
    QApplication::processEvents();
    EXPECT_EQ(form->barcodeView()->width(), MainWindow::SurfaceWidthFor(form->frameGeometry().width()));
    EXPECT_EQ(ReadZbar(surface()), "ZEBRIX");
}
