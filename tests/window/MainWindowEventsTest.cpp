// Typing, the symbology buttons, the option boxes and resizing each draw the
// barcode again from what the controls hold, and it scans.
#include "WindowFixture.h"

using namespace zebrix;
using namespace zebrix::test;

using MainWindowEvents = WindowTest;

TEST_F(MainWindowEvents, EveryKeystrokeRedrawsAndTheBarcodeScans)
{
    drawings.clear();
    QTest::keyClicks(&textField(), QStringLiteral("ZEBRIX 1.0"));
    ASSERT_EQ(drawings.size(), 10u);
    EXPECT_EQ(ReadZbar(drawings[4].image), "ZEBRI");
    EXPECT_EQ(ReadZbar(surface()), "ZEBRIX 1.0");
    EXPECT_EQ(ReadZXing(surface()), "ZEBRIX 1.0");
    QTest::keyClick(&textField(), Qt::Key_Backspace);
    EXPECT_EQ(drawings.size(), 11u);
    EXPECT_EQ(ReadZbar(surface()), "ZEBRIX 1.");
}

TEST_F(MainWindowEvents, SymbologyButtonsSetTheCheckBoxThenDraw)
{
    const struct {
        const char* tooltip;
        bool ticked, enabled;
    } rows[4] = {{"Optionnel", false, true}, {"Optionnel", false, true}, {"Non optionnel", true, false},
                 {"Non utilisé", false, false}};
    textField().setText(QStringLiteral("123456"));
    // Each button, reached from each other with the box ticked and unticked where the user can. A change of
    // the box draws first, with the previous symbology, the new tooltip and the box not yet disabled.
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
                const bool wasTicked = addCheckBox().isChecked(), wasEnabled = addCheckBox().isEnabled();
                drawings.clear();
                Click(symbologyButton(to));
                EXPECT_TRUE(symbologyButton(to).isChecked());
                EXPECT_EQ(symbologyIndex(), to);
                EXPECT_EQ(addCheckBox().toolTip(), QString::fromUtf8(rows[to].tooltip));
                EXPECT_EQ(std::pair(addCheckBox().isChecked(), addCheckBox().isEnabled()), std::pair(rows[to].ticked, rows[to].enabled));
                ASSERT_EQ(drawings.size(), wasTicked == rows[to].ticked ? 1u : 2u);
                EXPECT_EQ(drawings.back().symbology, to);
                EXPECT_EQ(ReadZXing(surface()), "123456"); // Code 128's check character is not read out
                if (drawings.size() == 2) {
                    EXPECT_EQ(drawings[0].symbology, from);
                    EXPECT_EQ(drawings[0].addCheckTooltip, QString::fromUtf8(rows[to].tooltip));
                    EXPECT_EQ(drawings[0].addCheckEnabled, wasEnabled);
                    if (from == 0) { EXPECT_EQ(ReadZbar(drawings[0].image), rows[to].ticked ? "123456L" : "123456"); }
                }
            }
    Click(symbologyButton(0)); // the user's tick: one drawing, with Code 39's check character
    drawings.clear();
    Click(addCheckBox());
    ASSERT_EQ(drawings.size(), 1u);
    EXPECT_EQ(ReadZbar(surface()), "123456L");
}

TEST_F(MainWindowEvents, AnIndexOutsideTheButtonsSetsNothingAndDrawsNothing)
{
    textField().setText(QStringLiteral("AB"));
    const QImage before = surface();
    for (int index : {4, -1, 32767}) {
        form->chooseSymbology(static_cast<Symbology>(index));
        EXPECT_EQ(symbologyIndex(), index);
        EXPECT_EQ(addCheckBox().toolTip(), QLatin1String("Optional"));
        EXPECT_EQ(surface(), before);
    }
}

TEST_F(MainWindowEvents, TheSurfaceFollowsTheWindowWidthDownToOnePixel)
{
    for (auto [outer, width] : {std::pair{505, 480}, {27, 2}, {26, 1}, {0, 1}, {-5, 1}}) // 380 twips off, 15 a pixel
        EXPECT_EQ(MainWindow::SurfaceWidthFor(outer), width) << outer;
    textField().setText(QStringLiteral("ZEBRIX"));
    const QImage first = surface();
    for (int width : {617, 20, 1, 497}) {
        form->resize(width, form->height());
        QApplication::processEvents();
        const int expected = MainWindow::SurfaceWidthFor(form->frameGeometry().width());
        EXPECT_EQ(form->barcodeView()->geometry(), QRect(8, 168, expected, 67)) << width;
        const int common = std::min(first.width(), expected); // drawn again, at the same place
        EXPECT_EQ(surface().copy(0, 0, common, 67), first.copy(0, 0, common, 67)) << width;
        form->copyBarcode();
        EXPECT_EQ(clipboard.images.back().size(), QSize(expected, 67)) << width;
    }
}
