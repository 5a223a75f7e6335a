// The main window: its controls with their captions, in tab order, none hiding
// another, and its start-up state; typing, the symbology buttons, the option
// boxes and resizing draw the barcode again, and it scans; the verdict says
// whether it reads; paste, and the commands' buttons and keys.
#include "LongLineEdit.h"
#include "WindowFixture.h"

#include "qtsurface/BarcodePicture.h"

#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>

using namespace zebrix;
using namespace zebrix::test;

namespace {

// Bars from x = 20, or ink on the top line only: one line of message.
bool BarsOrOneLine(const QImage& image)
{
    if (image.pixel(20, 1) == qRgb(0, 0, 0) && image.pixel(20, 40) == qRgb(0, 0, 0))
        return true;
    return !AllWhite(image, QRect(0, 0, image.width(), 16)) && AllWhite(image, QRect(0, 16, image.width(), 60));
}

class MainWindowVerdict : public WindowTest {
protected:
    VerdictIndicator& indicator() { return *form->verdictIndicator(); }
    bool WaitForVerdict()
    {
        return QTest::qWaitFor([this] { return indicator().verdict().has_value(); }, 5000);
    }
};

} // namespace

using MainWindowLayout = WindowTest;

TEST_F(MainWindowLayout, EveryControlShowsItsCaptionInTabOrderAndNoneHidesAnother)
{
    EXPECT_EQ(std::pair(form->windowTitle(), form->size()), std::pair(QStringLiteral("Zebrix"), QSize(497, 245)));
    EXPECT_FALSE(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_LE((form->frameGeometry().center() - form->screen()->availableGeometry().center()).manhattanLength(), 1);
    EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(32, 32)) && !button("Command7").icon().isNull());
    const struct {
        const char *name, *caption, *tooltip;
    } rows[] = {// the controls the Tab key reaches, in its order, then the others
        {"Text1", "", ""}, {"Option1_0", "39", "Code 3 of 9"}, {"Option1_1", "I 2 of 5", "Interleaved 2 of 5"},
        {"Option1_2", "128", "Code 128"}, {"Option1_3", "Codabar", "Codabar/NW-7"},
        {"Check1_0", "Optimisé pour impression", "Increases spacing"}, {"Check1_1", "Ajout du label", "Human readable"},
        {"Check1_2", "Avec vérification", "Optional"},
        {"Command4", "Copier vers presse papier", "Copier le code barre (Ctrl+Shift+C)"},
        {"Command2", "Imprimer le Code Barre", "Imprimer le code barre (Ctrl+P)"},
        {"Command3", "Enregistrer le Code Barre sous...", "Enregistrer le code barre (Ctrl+S)"},
        {"Command6", "...", "Coller un lien à partir du presse papier"}, {"Command7", "", "A Propos"},
        {"Command8", "RàZ", "Réinitialisation..."}, {"Command5", "Quitter Zebrix", "Quitter Zebrix (Ctrl+Q)"},
        {"Label1_0", "Données du code barre : ", ""}, {"PicImage", "", ""},
        {"VerdictIndicator", nullptr, nullptr}, // hidden yet
        {"Frame1_1", "Type Code Barre", ""}, {"Frame1_0", "Paramètres ", ""}, {"Frame2", "", ""}};
    QWidget* focus = &textField();
    std::vector<QRect> placed; // the controls so far, frames aside
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto* w = form->findChild<QWidget*>(QLatin1String(row.name));
        ASSERT_NE(w, nullptr);
        if (w->focusPolicy() & Qt::TabFocus) {
            EXPECT_EQ(focus, w);
            do
                focus = focus->nextInFocusChain();
            while (!(focus->focusPolicy() & Qt::TabFocus));
        }
        const auto* box = qobject_cast<QAbstractButton*>(w);
        const auto* label = qobject_cast<QLabel*>(w);
        const auto* frame = qobject_cast<QGroupBox*>(w);
        if (box && !qobject_cast<QPushButton*>(w)) {
            EXPECT_GE(w->width(), w->sizeHint().width());
        } // not cut
        if (row.caption) {
            EXPECT_EQ(box   ? box->text()
                    : label ? label->text()
                    : frame ? frame->title()
                            : QString(),
                QString::fromUtf8(row.caption));
            EXPECT_EQ(w->toolTip(), QString::fromUtf8(row.tooltip));
            EXPECT_TRUE(w->isVisible());
        }
        const QRect place(w->mapTo(form.get(), QPoint()), w->size() - QSize(1, 1)); // designed to touch
        EXPECT_TRUE(form->rect().contains(place));
        for (const QRect& other : placed)
            EXPECT_TRUE(frame || !place.intersects(other)) << w->objectName().toStdString();
        if (!frame)
            placed.push_back(place);
    }
    EXPECT_EQ(focus, &textField()); // and round again
}

TEST_F(MainWindowLayout, BlackWindowWhiteSurfaceSharpAtEveryScaleAndABrightFocusMark)
{
    const QImage shot = form->grab().toImage();
    const QRect pic = form->barcodeView()->geometry();
    EXPECT_EQ(shot.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(pic.left() - 3, pic.center().y()), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(pic.center()), qRgb(255, 255, 255));
    textField().setText(QStringLiteral("A")); // the surface shows its drawing, each pixel r x r on a scaled screen
    EXPECT_EQ(form->barcodeView()->grab().toImage().convertToFormat(QImage::Format_RGB32), surface());
    for (int r : {2, 3}) {
        QImage device(surface().size() * r, QImage::Format_RGB32);
        device.setDevicePixelRatio(r);
        form->barcodeView()->render(&device);
        EXPECT_EQ(device, surface().scaled(surface().size() * r)) << r;
    }
    // On black the focus mark is as bright as a caption.
    const QImage unfocused = symbologyButton(0).grab().toImage();
    QTest::keyClick(&textField(), Qt::Key_Tab);
    ASSERT_TRUE(symbologyButton(0).hasFocus());
    const QImage focused = symbologyButton(0).grab().toImage();
    int mark = 0;
    for (int y = 0; y < focused.height(); ++y)
        for (int x = 0; x < focused.width(); ++x)
            mark = focused.pixel(x, y) != unfocused.pixel(x, y) ? std::max(mark, qGray(focused.pixel(x, y))) : mark;
    EXPECT_GE(mark, 192);
}

TEST_F(MainWindowLayout, StartUpState)
{
    EXPECT_TRUE(symbologyButton(0).isChecked());
    EXPECT_EQ(symbologyIndex(), 0);
    EXPECT_EQ(std::tuple(widenSpacesBox().isChecked(), addLabelBox().isChecked(), addCheckBox().isChecked(),
                  addCheckBox().isEnabled()),
        std::tuple(true, true, false, true));
    EXPECT_EQ(addCheckBox().toolTip(), QLatin1String("Optional"));
    EXPECT_TRUE(textField().text().isEmpty());
    EXPECT_GE(textField().maxLength(), 1 << 30);
    ASSERT_FALSE(drawings.empty()); // drawn once, blank
    EXPECT_EQ(drawings.back().symbology, 0);
    EXPECT_TRUE(AllWhite(surface()));
}

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
    } rows[4] = {// the check character box
        {"Optionnel", false, true}, {"Optionnel", false, true}, {"Non optionnel", true, false},
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
                EXPECT_EQ(std::pair(addCheckBox().isChecked(), addCheckBox().isEnabled()),
                    std::pair(rows[to].ticked, rows[to].enabled));
                ASSERT_EQ(drawings.size(), wasTicked == rows[to].ticked ? 1u : 2u);
                EXPECT_EQ(drawings.back().symbology, to);
                EXPECT_EQ(ReadZXing(surface()), "123456"); // Code 128's check character is not read out
                if (drawings.size() == 2) {
                    EXPECT_EQ(drawings[0].symbology, from);
                    EXPECT_EQ(drawings[0].addCheckTooltip, QString::fromUtf8(rows[to].tooltip));
                    EXPECT_EQ(drawings[0].addCheckEnabled, wasEnabled);
                    if (from == 0) {
                        EXPECT_EQ(ReadZbar(drawings[0].image), rows[to].ticked ? "123456L" : "123456");
                    }
                }
            }
    Click(symbologyButton(0)); // the user's tick: one drawing, with Code 39's check character
    drawings.clear();
    Click(addCheckBox());
    ASSERT_EQ(drawings.size(), 1u);
    const QImage drawn = surface();
    EXPECT_EQ(ReadZbar(drawn), "123456L");
    for (int index : {4, -1, 32767}) { // not a symbology: the box and the picture stay as they are
        form->chooseSymbology(static_cast<Symbology>(index));
        EXPECT_EQ(std::tuple(symbologyIndex(), addCheckBox().toolTip(), surface()),
            std::tuple(index, QStringLiteral("Optionnel"), drawn));
    }
}

TEST_F(MainWindowEvents, TheSurfaceFollowsTheWindowWidthDownToOnePixel)
{
    for (auto [outer, width] : {std::pair{505, 480}, {27, 2}, {26, 1}, {0, 1}, {-5, 1}}) // 380 twips off, 15 a pixel
        EXPECT_EQ(MainWindow::SurfaceWidthFor(outer), width) << outer;
    textField().setText(QStringLiteral("ZEBRIX"));
    const QImage first = surface();
    for (int width : {617, 20, 1, 497}) { // drawn again at the same place, and copied whole
        form->resize(width, form->height());
        QApplication::processEvents();
        const int expected = MainWindow::SurfaceWidthFor(form->frameGeometry().width());
        EXPECT_EQ(form->barcodeView()->geometry(), QRect(8, 168, expected, 67)) << width;
        EXPECT_EQ(surface().copy(0, 0, std::min(first.width(), expected), 67),
            first.copy(0, 0, std::min(first.width(), expected), 67));
        form->copyBarcode();
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(expected, 67)) << width;
    }
}

TEST_F(MainWindowVerdict, SaysWhetherThePictureReadsAndWhyNot)
{
    const struct {
        int symbology;
        bool widenSpaces;
        QString text;
        const char *shown, *why;
    } rows[] = {// "": nothing shown
        {0, true, QStringLiteral("A$B"), "Lisible", "« A$B »"}, // ZXing-C++ refuses it, zbar reads it
        {2, true, QStringLiteral("Hello"), "Illisible", "espaces élargis"},
        {1, false, QStringLiteral("1234"), "Illisible", "au moins 6 chiffres"},
        {0, false, QStringLiteral("é"), "Illisible", "message est affiché"}, {0, false, QString(), "", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.left(12).toStdString());
        symbologyButton(row.symbology).setChecked(true);
        widenSpacesBox().setChecked(row.widenSpaces);
        textField().setText(row.text);
        ASSERT_TRUE(WaitForVerdict());
        const QString shown = QString::fromUtf8(row.shown);
        EXPECT_EQ(indicator().isVisible(), !shown.isEmpty());
        if (!shown.isEmpty()) {
            EXPECT_TRUE(indicator().text().endsWith(' ' + shown) && indicator().accessibleName().startsWith(shown));
            EXPECT_TRUE(indicator().toolTip().contains(QString::fromUtf8(row.why)))
                << indicator().toolTip().toStdString();
            EXPECT_EQ(indicator().accessibleDescription(), indicator().toolTip());
        }
        BarcodePicture alone(surface().width(), surface().height()); // the picture carries no indicator
        alone.show(Encode(
            Symbology(row.symbology), row.text.toStdU16String(), Options{row.widenSpaces, 1, 0}, surface().width()));
        EXPECT_EQ(alone.image(), surface());
    }
    textField().setText(QStringLiteral("ZEBRIX"));
    form->barcodeView()->setBackgroundPicture(surface()); // what a save leaves, under a later drawing
    textField().setText(QStringLiteral("AB"));
    ASSERT_TRUE(WaitForVerdict());
    EXPECT_EQ(indicator().accessibleName(), QStringLiteral("Illisible"));
    EXPECT_TRUE(indicator().toolTip().contains(
        QStringLiteral("Dessiné sur l'image du dernier enregistrement, qui reste sous "
                       "chaque dessin jusqu'à « RàZ » : les barres se mêlent aux anciennes.")));
}

TEST_F(MainWindowVerdict, OnlyTheLatestDrawingsVerdictIsEverShown)
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
    QTest::qWait(100);
    EXPECT_EQ(indicator().accessibleName(), QStringLiteral("Illisible"));
}

using MainWindowCommands = WindowTest;

TEST_F(MainWindowCommands, PasteTakesTheClipboardTextUnchanged)
{
    // Each paste draws once and is one step of undo, the one that empties the field too.
    for (const char* text : {"PASTED 42", "  12\r\n34\n", ""}) {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
        drawings.clear();
        Click(button("Command6"));
        EXPECT_EQ(textField().text(), QString::fromLatin1(text));
        EXPECT_EQ(drawings.size(), 1u);
    }
    EXPECT_TRUE(AllWhite(surface()));
    textField().setFocus();
    for (const char* before : {"  12\r\n34\n", "PASTED 42"}) {
        QTest::keySequence(&textField(), QKeySequence::Undo);
        EXPECT_EQ(textField().text(), QString::fromLatin1(before));
    }
    EXPECT_EQ(ReadZbar(surface()), "PASTED 42");

    // Controls, NUL, halves of surrogate pairs, marks, right-to-left text and direction overrides, 300,000
    // characters of them, stay as they are, typing goes on at their end, and the surface shows bars or one
    // line of message, for every symbology.
    QString huge;
    for (const char16_t* piece : {u"AB\nCD\t7\v8\f9\r\n",
             u"A\xD800"
             u"B",
             u"12\xD83D", u"\U0001F600\u0301ABC", u"\u202EABC123", u"\u05E9\u05DC\u05D5\u05DD 12\u2067x\u2069",
             u"1\u200D2\uFEFF\u2028\u0085\uFFFF\uFFFE\u034F\u20DD"})
        huge += QString::fromUtf16(piece);
    huge = (huge + QChar(0)).repeated(300'000 / huge.size());
    for (int symbology = 0; symbology < 4; ++symbology) {
        SCOPED_TRACE(symbology);
        Click(symbologyButton(symbology));
        QGuiApplication::clipboard()->setText(huge);
        Click(button("Command6"));
        textField().end(false);
        QTest::keyClicks(&textField(), QStringLiteral("Z9"));
        EXPECT_EQ(textField().text(), huge + "Z9");
        EXPECT_LT(textField().sliceSize(), huge.size()); // the QLineEdit holds a slice only
        EXPECT_TRUE(BarsOrOneLine(surface()));
        textField().repaint();
    }
}

// Each button, Enter on it and its keys run its command: a dialog shows (cancelled here), or the
// picture is copied, or the application's loop ends; Ctrl+C stays the text's copy.
TEST_F(MainWindowCommands, CommandsRunFromTheirButtonsEnterAndTheirKeys)
{
    for (const char* name : {"Command2", "Command3", "Command7"})
        Click(button(name));
    button("Command2").setFocus();
    QTest::keyClick(&button("Command2"), Qt::Key_Return);
    QTest::keyClick(&button("Command2"), Qt::Key_Enter, Qt::KeypadModifier);
    textField().setText(QStringLiteral("KEYS"));
    textField().selectAll();
    textField().setFocus();
    QTest::keyClick(&textField(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "KEYS");
    const auto type = [this](QKeyCombination keys) { // in the window, active again after the dialogs
        QApplication::setActiveWindow(form.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(&textField(), keys.key(), keys.keyboardModifiers());
    };
    for (const auto& [keys, dialog] : {std::pair{Qt::CTRL | Qt::Key_P, "QPrintDialog"},
             {Qt::CTRL | Qt::Key_S, "QFileDialog"}, {QKeyCombination(Qt::Key_F1), "QDialog"}}) {
        type(keys);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.shown.size() == 6; }));
        EXPECT_EQ(dialogs.shown.takeLast(), dialog);
    }
    EXPECT_EQ(dialogs.shown, QStringList({"QPrintDialog", "QFileDialog", "QDialog", "QPrintDialog", "QPrintDialog"}));
    type(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QGuiApplication::clipboard()->image().isNull(); }));
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
        surface().convertToFormat(QImage::Format_RGB32));
    // Quitting ends the application's event loop at once (the button itself is clicked under Xvfb).
    QTimer guard; // no endless loop, whatever happens
    guard.callOnTimeout([] { QCoreApplication::exit(1); });
    guard.start(5000);
    QTimer::singleShot(0, form.get(), [&] { type(Qt::CTRL | Qt::Key_Q); });
    EXPECT_EQ(QApplication::exec(), 0);
}
