// After every drawing the window says whether its picture reads (ZXing-C++,
// then zbar) and why not, without touching the picture.
#include "WindowFixture.h"

#include "qtsurface/BarcodePicture.h"

using namespace zebrix;
using namespace zebrix::test;

namespace {

class VerdictIndicatorTest : public WindowTest {
protected:
    VerdictIndicator& indicator() { return *form->verdictIndicator(); }
    bool WaitForVerdict() { return QTest::qWaitFor([this] { return indicator().verdict().has_value(); }, 5000); }
};

} // namespace

TEST_F(VerdictIndicatorTest, SaysWhetherThePictureReadsAndWhyNot)
{
    const struct {
        int symbology;
        bool widenSpaces;
        QString text;
        const char *shown, *why; // "" for nothing shown
    } rows[] = {
        {0, true, QStringLiteral("A$B"), "Lisible", "« A$B »"}, // ZXing-C++ refuses it, zbar reads it
        {2, true, QStringLiteral("Hello"), "Illisible", "espaces élargis"},
        {0, false, QString(60, QLatin1Char('A')), "Illisible", "coupé au bord droit"},
        {1, false, QStringLiteral("1234"), "Illisible", "au moins 6 chiffres"},
        {3, false, QStringLiteral("a1"), "Illisible", "Aucun lecteur"},
        {0, false, QStringLiteral("é"), "Illisible", "message est affiché"},
        {0, false, QString(), "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.left(12).toStdString());
        symbologyButton(row.symbology).setChecked(true);
        widenSpacesBox().setChecked(row.widenSpaces);
        textField().setText(row.text);
        ASSERT_TRUE(WaitForVerdict());
        const QString shown = QString::fromUtf8(row.shown);
        EXPECT_EQ(indicator().isVisible(), !shown.isEmpty());
        if (!shown.isEmpty()) {
            EXPECT_TRUE(indicator().text().endsWith(QLatin1Char(' ') + shown)); // a mark, then the word
            EXPECT_TRUE(indicator().accessibleName().startsWith(shown));
            EXPECT_TRUE(indicator().toolTip().contains(QString::fromUtf8(row.why))) << indicator().toolTip().toStdString();
            EXPECT_EQ(indicator().accessibleDescription(), indicator().toolTip());
        }
        // The picture is the one the drawing makes, with no indicator on it.
        BarcodePicture alone(surface().width(), surface().height());
        const auto text = row.text.toStdU16String();
        alone.show(Encode(static_cast<Symbology>(row.symbology), text, Options{row.widenSpaces, 1, 0}, surface().width()));
        EXPECT_EQ(alone.image(), surface());
    }
    textField().setText(QStringLiteral("ZEBRIX"));
    form->barcodeView()->setBackgroundPicture(surface()); // what a save leaves, under a later drawing
    textField().setText(QStringLiteral("AB"));
    ASSERT_TRUE(WaitForVerdict());
    EXPECT_EQ(indicator().accessibleName(), QStringLiteral("Illisible"));
    EXPECT_TRUE(indicator().toolTip().contains(QStringLiteral("« RàZ »")));
}

TEST_F(VerdictIndicatorTest, OnlyTheLatestDrawingsVerdictIsEverShown)
{
    std::vector<std::string> stale; // verdicts shown for a text the field no longer holds
    indicator().setObserver([&](const Verdict& v) {
        const std::string now = textField().text().toStdString();
        if (v.kind == Verdict::Kind::Reads && v.expected != now)
            stale.push_back(v.expected + " shown for " + now);
    });
    widenSpacesBox().setChecked(false);
    QTest::keyClicks(&textField(), QStringLiteral("ZEBRIX 1.0 ZEBRIX"));
    symbologyButton(2).setChecked(true); // while Code 39 pictures are still being read
    ASSERT_TRUE(WaitForVerdict());
    QTest::qWait(200); // any older result would arrive now
    EXPECT_TRUE(stale.empty()) << stale.front();
    EXPECT_EQ(std::pair(indicator().verdict()->symbology, indicator().verdict()->expected),
              std::pair(Symbology::Code128, std::string("ZEBRIX 1.0 ZEBRIX")));
    widenSpacesBox().setChecked(true); // decided at once, and not overturned later
    EXPECT_EQ(indicator().accessibleName(), QStringLiteral("Illisible"));
    QTest::qWait(100);
    EXPECT_EQ(indicator().accessibleName(), QStringLiteral("Illisible"));
}
