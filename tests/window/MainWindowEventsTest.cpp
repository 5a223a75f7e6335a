// Typing, the symbology buttons, the option boxes and resizing each draw the
// barcode again from what the controls hold, and it scans.
#include "WindowFixture.h"

using namespace zebrix;
using namespace zebrix::test;

using MainWindowEvents = WindowTest;

TEST_F(MainWindowEvents, EveryKeystrokeRedrawsAndTheBarcodeScans)
{
    Activate();
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
    // Each button, reached from each other, with the box ticked and unticked where the user can.
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
                EXPECT_EQ(addCheckBox().toolTip(), QString::fromUtf8(rows[to].tooltip));
                EXPECT_EQ(std::pair(addCheckBox().isChecked(), addCheckBox().isEnabled()), std::pair(rows[to].ticked, rows[to].enabled));
                EXPECT_EQ(symbologyIndex(), to);
                ASSERT_FALSE(drawings.empty());
                EXPECT_EQ(drawings.back().symbology, to);
                EXPECT_EQ(ReadZXing(surface()), "123456"); // Code 128's check character is not read out
            }
}

TEST_F(MainWindowEvents, AChangedCheckBoxDrawsFirstWithThePreviousSymbology)
{
    textField().setText(QStringLiteral("123456"));
    widenSpacesBox().setChecked(false);
    // Each click, and the drawings it makes: symbology and text read ("L" is Code 39's check character here).
    const auto expectDrawings = [this](QWidget& clicked, std::vector<std::pair<int, std::string>> expected) {
        drawings.clear();
        Click(clicked);
        ASSERT_EQ(drawings.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(drawings[i].symbology, expected[i].first) << i;
            const QImage& image = drawings[i].image;
            EXPECT_EQ(expected[i].first == 2 ? ReadZXing(image) : ReadZbar(image), expected[i].second) << i;
        }
    };
    expectDrawings(symbologyButton(2), {{0, "123456L"}, {2, "123456"}}); // ticked first, then Code 128
    EXPECT_EQ(drawings[0].addCheckTooltip, QLatin1String("Non optionnel")); // new tooltip when ticked,
    EXPECT_TRUE(drawings[0].addCheckEnabled);                                // disabled only afterwards
    EXPECT_FALSE(drawings[1].addCheckEnabled);
    expectDrawings(symbologyButton(0), {{2, "123456"}, {0, "123456"}});
    expectDrawings(addCheckBox(), {{0, "123456L"}});
    expectDrawings(symbologyButton(1), {{0, "123456"}, {1, "123456"}});
    expectDrawings(symbologyButton(3), {{3, "A123456A"}}); // nothing changes on the box (zbar reads start and stop)
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

TEST_F(MainWindowEvents, TheSurfaceFollowsTheWindowWidthDownToOnePixel)
{
    for (auto [outer, width] : {std::pair{505, 480}, {27, 2}, {26, 1}, {0, 1}, {-5, 1}}) // 380 twips off, 15 a pixel
        EXPECT_EQ(MainWindow::SurfaceWidthFor(outer), width) << outer;

    textField().setText(QStringLiteral("ZEBRIX"));
    const QImage first = surface();
    const int width = form->barcodeView()->width();
    for (int delta : {+120, -200, -477, -496}) {
        SCOPED_TRACE(delta);
        drawings.clear();
        form->resize(497 + delta, form->height());
        QApplication::processEvents();
        const int expected = std::max(1, width + delta);
        EXPECT_EQ(surface().width(), expected);
        EXPECT_EQ(form->barcodeView()->geometry(), QRect(8, 168, expected, 67));
        ASSERT_FALSE(drawings.empty());
        const int common = std::min(first.width(), surface().width()); // drawn again at the same place
        EXPECT_EQ(surface().copy(0, 0, common, 67), first.copy(0, 0, common, 67));
        form->copyBarcode();
        EXPECT_EQ(clipboard.images.back().size(), QSize(expected, 67));
    }
    form->resize(497, 245);
    QApplication::processEvents();
    EXPECT_EQ(ReadZbar(surface()), "ZEBRIX");
}
