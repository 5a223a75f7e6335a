// The main window on the offscreen platform, Qt's own dialogs answered from the test.
#include "MainWindow.h"
#include "qtsurface/BarcodePicture.h"
#include "support/Decoders.h"
#include "support/Modal.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace zebrix;
using namespace zebrix::test;

namespace {

constexpr auto Widen = OptionBox::WidenSpaces, Label = OptionBox::AddLabel, Check = OptionBox::AddCheck;

// Every drawing recorded: the symbology, the image, the check box's tooltip and state.
class MainWindowTest : public ::testing::Test {
protected:
    struct Drawing {
        int symbology;
        QImage image;
        QString checkTooltip;
        bool checkEnabled;
    };
    void SetUp() override
    {
        form->setDrawObserver([this](Symbology type, const QImage& image) {
            drawings.push_back({int(type), image, box(Check).toolTip(), box(Check).isEnabled()});
        });
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    LongLineEdit& field() { return *form->textField(); }
    QCheckBox& box(OptionBox b) { return *form->optionBox(b); }
    QRadioButton& symbologyButton(int i) { return *form->symbologyButton(Symbology(i)); }
    QPushButton& button(const char* name) { return *form->findChild<QPushButton*>(QLatin1String(name)); }
    const QImage& surface() { return form->barcodeView()->image(); }
    VerdictIndicator& indicator() { return *form->verdictIndicator(); }
    bool WaitForVerdict()
    {
        return QTest::qWaitFor([this] { return indicator().verdict().has_value(); }, 5000);
    }
    static void Click(QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(6, w.height() / 2)); }

    Dialogs dialogs;
    std::unique_ptr<MainWindow> form = std::make_unique<MainWindow>();
    std::vector<Drawing> drawings;
};

bool AllWhite(const QImage& image)
{
    QImage white(image.size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    return image.convertToFormat(QImage::Format_RGB32) == white;
}

// The brightest grey where the image differs from `before`.
int Brightest(const QImage& image, const QImage& before)
{
    int most = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            most = image.pixel(x, y) != before.pixel(x, y) ? std::max(most, qGray(image.pixel(x, y))) : most;
    return most;
}

} // namespace

TEST_F(MainWindowTest, EveryControlShowsItsCaptionInTabOrderAndNoneHidesAnother)
{
    EXPECT_EQ(std::pair(form->windowTitle(), form->size()), std::pair(QStringLiteral("Zebrix"), QSize(497, 245)));
    EXPECT_FALSE(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_LE((form->frameGeometry().center() - form->screen()->availableGeometry().center()).manhattanLength(), 1);
    EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(32, 32)));
    EXPECT_FALSE(button("Command7").icon().isNull());
    EXPECT_TRUE(field().font().bold());
    EXPECT_EQ(button("Command3").font().families().value(0), "Tahoma"); // where installed; a sans-serif stands in
    const struct {
        const char *name, *caption, *tooltip;
    } rows[] = {// the controls the Tab key reaches, in its order, then the others
        {"Text1", "", ""}, {"Option1_0", "39", "Code 3 of 9"}, {"Option1_1", "I 2 of 5", "Interleaved 2 of 5"},
        {"Option1_2", "128", "Code 128"}, {"Option1_3", "Codabar", "Codabar/NW-7"},
        {"Check1_0", "Optimisé pour impression", "Increases spacing"}, {"Check1_1", "Ajout du label", "Human readable"},
        {"Check1_2", "Avec vérification", "Optional"}, {"VerdictRemedy", nullptr, nullptr}, // hidden yet
        {"Command4", "Copier vers presse papier", "Copier le code barre (Ctrl+Shift+C)"},
        {"Command2", "Imprimer le Code Barre", "Imprimer le code barre (Ctrl+P)"},
        {"Command3", "Enregistrer le Code Barre sous...", "Enregistrer le code barre (Ctrl+S)"},
        {"Command6", "...", "Coller un lien à partir du presse papier"}, {"Command7", "", "A Propos"},
        {"Command8", "RàZ", "Réinitialisation..."}, {"Command5", "Quitter Zebrix", "Quitter Zebrix (Ctrl+Q)"},
        {"Label1_0", "Données du code barre : ", ""}, {"PicImage", "", ""},
        {"VerdictIndicator", nullptr, nullptr}, // hidden yet
        {"Frame1_1", "Type Code Barre", ""}, {"Frame1_0", "Paramètres ", ""}, {"Frame2", "", ""}};
    QWidget* focus = &field();
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
        const bool frame = qobject_cast<QGroupBox*>(w);
        if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            EXPECT_GE(w->width(), w->sizeHint().width()); // not cut
        }
        if (row.caption) {
            EXPECT_EQ(w->property(frame ? "title" : "text").toString(), QString::fromUtf8(row.caption));
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
    EXPECT_EQ(focus, &field()); // and round again
    // At start: Code 39, wider spaces and a label, no check character; the empty text drawn, blank.
    EXPECT_TRUE(symbologyButton(0).isChecked());
    EXPECT_EQ(std::tuple(box(Widen).isChecked(), box(Label).isChecked(), box(Check).isChecked()),
        std::tuple(true, true, false));
    ASSERT_FALSE(drawings.empty());
    EXPECT_EQ(drawings.back().symbology, 0);
    EXPECT_TRUE(AllWhite(surface()));
}

TEST_F(MainWindowTest, BlackWindowWhiteSurfaceBrightFocusMarkGreyDisabledCaption)
{
    const QImage shot = form->grab().toImage();
    const QRect pic = form->barcodeView()->geometry();
    EXPECT_EQ(shot.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(pic.left() - 3, pic.center().y()), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(pic.center()), qRgb(255, 255, 255));
    field().setText(QStringLiteral("A")); // each pixel r x r on a scaled screen
    EXPECT_EQ(form->barcodeView()->grab().toImage().convertToFormat(QImage::Format_RGB32), surface());
    for (int r : {2, 3}) {
        QImage device(surface().size() * r, QImage::Format_RGB32);
        device.setDevicePixelRatio(r);
        form->barcodeView()->render(&device);
        EXPECT_EQ(device, surface().scaled(surface().size() * r)) << r;
    }
    const QImage unfocused = symbologyButton(0).grab().toImage();
    QTest::keyClick(&field(), Qt::Key_Tab);
    ASSERT_TRUE(symbologyButton(0).hasFocus());
    EXPECT_GE(Brightest(symbologyButton(0).grab().toImage(), unfocused), 192);
    EXPECT_EQ(box(Check).palette().color(QPalette::Disabled, QPalette::WindowText), QColor(128, 128, 128));
}

TEST_F(MainWindowTest, SymbologyButtonsSetTheCheckBoxThenDraw)
{
    const struct {
        const char* tooltip;
        bool ticked, enabled;
    } rows[4] = {// the check character box
        {"Optionnel", false, true}, {"Optionnel", false, true}, {"Non optionnel", true, false},
        {"Non utilisé", false, false}};
    field().setText(QStringLiteral("123456"));
    // From each button, the box ticked and not; a change of the box draws first, with the symbology before.
    for (int from = 0; from < 4; ++from)
        for (int to = 0; to < 4; ++to)
            for (bool userTicked : {false, true}) {
                if (from == to)
                    continue;
                SCOPED_TRACE(testing::Message() << from << " -> " << to << " ticked " << userTicked);
                Click(symbologyButton(from));
                if (box(Check).isEnabled())
                    box(Check).setChecked(userTicked);
                box(Widen).setChecked(false);
                const bool wasTicked = box(Check).isChecked(), wasEnabled = box(Check).isEnabled();
                drawings.clear();
                Click(symbologyButton(to));
                EXPECT_EQ(int(form->symbology()), to);
                EXPECT_EQ(box(Check).toolTip(), QString::fromUtf8(rows[to].tooltip));
                EXPECT_EQ(box(Check).isChecked(), rows[to].ticked);
                EXPECT_EQ(box(Check).isEnabled(), rows[to].enabled);
                ASSERT_EQ(drawings.size(), wasTicked == rows[to].ticked ? 1u : 2u);
                EXPECT_EQ(drawings.back().symbology, to);
                EXPECT_EQ(ReadOne(Reader::ZXing, surface()), "123456"); // Code 128's check character is not read out
                if (drawings.size() == 2) {
                    EXPECT_EQ(drawings[0].symbology, from);
                    EXPECT_EQ(drawings[0].checkTooltip, QString::fromUtf8(rows[to].tooltip));
                    EXPECT_EQ(drawings[0].checkEnabled, wasEnabled);
                    if (from == 0) {
                        EXPECT_EQ(ReadOne(Reader::Zbar, drawings[0].image), rows[to].ticked ? "123456L" : "123456");
                    }
                }
            }
    Click(symbologyButton(0)); // the user's tick: one drawing, with Code 39's check character
    drawings.clear();
    Click(box(Check));
    ASSERT_EQ(drawings.size(), 1u);
    const QImage drawn = surface();
    EXPECT_EQ(ReadOne(Reader::Zbar, drawn), "123456L");
    for (int index : {4, -1, 32767}) { // not a symbology: the box and the picture stay as they are
        form->chooseSymbology(static_cast<Symbology>(index));
        EXPECT_EQ(box(Check).toolTip(), QStringLiteral("Optionnel"));
        EXPECT_EQ(surface(), drawn);
    }
}

// Tab and Shift+Tab enter the symbology buttons on the selected one, chosen without the focus (as a screen
// reader presses it); the arrows select the one above or below, and each selection draws.
TEST_F(MainWindowTest, TabEntersTheSymbologiesOnTheSelectedOneAndArrowsSelectAndDraw)
{
    field().setText(QStringLiteral("123456"));
    box(Widen).setChecked(false);
    symbologyButton(2).click();
    for (auto [from, modifier] :
        {std::pair<QWidget*, Qt::KeyboardModifier>{&field(), Qt::NoModifier}, {&box(Widen), Qt::ShiftModifier}}) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Tab, modifier);
        EXPECT_TRUE(symbologyButton(2).hasFocus()) << modifier;
    }
    for (auto [key, selected] : {std::pair{Qt::Key_Down, 3}, {Qt::Key_Up, 2}, {Qt::Key_Up, 1}, {Qt::Key_Up, 0}}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_TRUE(symbologyButton(selected).isChecked()) << selected;
        EXPECT_EQ(drawings.back().symbology, selected);
        EXPECT_EQ(ReadOne(Reader::ZXing, surface()), "123456") << selected;
    }
}

TEST_F(MainWindowTest, TheSurfaceFollowsTheWindowWidthDownToOnePixel)
{
    for (auto [outer, width] : {std::pair{505, 480}, {27, 2}, {26, 1}, {0, 1}, {-5, 1}}) // 380 twips off, 15 a pixel
        EXPECT_EQ(MainWindow::SurfaceWidthFor(outer), width) << outer;
    field().setText(QStringLiteral("ZEBRIX"));
    const QImage first = surface();
    for (int width : {617, 20, 1, 497}) { // drawn again at the same place, and copied whole
        form->resize(width, form->height());
        QApplication::processEvents();
        const int expected = MainWindow::SurfaceWidthFor(form->frameGeometry().width());
        EXPECT_EQ(form->barcodeView()->geometry(), QRect(8, 168, expected, 67)) << width;
        const QRect kept(0, 0, std::min(first.width(), expected), 67);
        EXPECT_EQ(surface().copy(kept), first.copy(kept));
        form->copyBarcode();
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(expected, 67)) << width;
    }
}

// The word and why; a link mends what can be mended, by keyboard or mouse, keeping the window on the screen.
TEST_F(MainWindowTest, TheVerdictSaysWhetherThePictureReadsWhyNotAndOffersARemedy)
{
    const QString cut = QStringLiteral("ZEBRIX 1.0 ZEBRIX 1.0 ZEBRIX"); // wider than the window, not than the screen
    QPushButton& link = *indicator().remedyLink();
    const struct {
        int symbology;
        bool widenSpaces;
        QString text;
        const char *shown, *why, *remedy; // shown "": nothing; remedy: the link's tooltip, none without
        int key; // on the link, or a click
    } rows[] = {{2, true, QStringLiteral("Hello"), "Illisible", "espaces élargis", "Décocher « Optimisé", 0},
        {0, true, cut, "Illisible", "coupé", "Élargir la fenêtre", Qt::Key_Enter},
        {0, true, cut + cut, "Illisible", "coupé", nullptr, 0},
        {0, false, QStringLiteral("é"), "Illisible", "message est affiché", nullptr, 0},
        {0, false, QString(), "", "", nullptr, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.left(12).toStdString());
        symbologyButton(row.symbology).setChecked(true);
        box(Widen).setChecked(row.widenSpaces);
        field().setText(row.text);
        ASSERT_TRUE(WaitForVerdict());
        const QString shown = QString::fromUtf8(row.shown);
        EXPECT_EQ(indicator().isVisible(), !shown.isEmpty());
        EXPECT_EQ(indicator().accessibleName(), shown);
        EXPECT_TRUE(indicator().text().endsWith(shown));
        EXPECT_TRUE(indicator().toolTip().contains(QString::fromUtf8(row.why))) << indicator().toolTip().toStdString();
        EXPECT_EQ(indicator().accessibleDescription(), indicator().toolTip());
        BarcodePicture alone(surface().width(), surface().height()); // the picture carries no indicator
        alone.show(Encode(
            Symbology(row.symbology), row.text.toStdU16String(), Options{row.widenSpaces, 1, 0}, surface().width()));
        EXPECT_EQ(alone.image(), surface());
        EXPECT_EQ(link.isVisible(), row.remedy != nullptr);
        if (!row.remedy)
            continue;
        EXPECT_TRUE(link.toolTip().startsWith(QString::fromUtf8(row.remedy))) << link.toolTip().toStdString();
        link.setFocus();
        row.key ? QTest::keyClick(&link, Qt::Key(row.key)) : Click(link);
        ASSERT_TRUE(WaitForVerdict());
        EXPECT_EQ(indicator().accessibleName(), QStringLiteral("Lisible"));
        EXPECT_TRUE(form->screen()->availableGeometry().contains(form->frameGeometry()));
    }
}

TEST_F(MainWindowTest, OnlyTheLatestDrawingsVerdictIsEverShown)
{
    std::vector<std::string> stale; // verdicts shown for a text the field no longer holds
    indicator().setObserver([&](const Verdict& v) {
        if (v.kind == Verdict::Kind::Reads && v.expected != field().text().toStdString())
            stale.push_back(v.expected + " shown for " + field().text().toStdString());
    });
    box(Widen).setChecked(false);
    QTest::keyClicks(&field(), QStringLiteral("ZEBRIX 1.0 ZEBRIX"));
    symbologyButton(2).setChecked(true); // while Code 39 pictures are still being read
    ASSERT_TRUE(WaitForVerdict());
    QTest::qWait(200); // any older result would arrive now
    EXPECT_TRUE(stale.empty()) << stale.front();
    EXPECT_EQ(std::pair(indicator().verdict()->symbology, indicator().verdict()->expected),
        std::pair(Symbology::Code128, std::string("ZEBRIX 1.0 ZEBRIX")));
}

// Each key and each paste draws once, and the barcode scans; a paste takes the text unchanged, and is one step
// of undo, the one that empties the field too.
TEST_F(MainWindowTest, TypingAndPasteDrawEachChangeAndPasteTakesTheClipboardTextUnchanged)
{
    QTest::keyClicks(&field(), QStringLiteral("ZEBRIX 1.0"));
    ASSERT_EQ(drawings.size(), 11u);
    EXPECT_EQ(ReadOne(Reader::Zbar, drawings[5].image), "ZEBRI");
    EXPECT_EQ(ReadOne(Reader::Zbar, surface()), "ZEBRIX 1.0");
    for (const char* text : {"PASTED 42", "  12\r\n34\n", ""}) {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
        drawings.clear();
        Click(button("Command6"));
        EXPECT_EQ(field().text(), QString::fromLatin1(text));
        EXPECT_EQ(drawings.size(), 1u);
    }
    field().setFocus();
    for (const char* before : {"  12\r\n34\n", "PASTED 42"}) {
        QTest::keySequence(&field(), QKeySequence::Undo);
        EXPECT_EQ(field().text(), QString::fromLatin1(before));
    }
    EXPECT_EQ(ReadOne(Reader::Zbar, surface()), "PASTED 42");
}

// Each button, Enter on it and its keys run its command: a dialog shows (cancelled here), or the
// picture is copied, or the application's loop ends; Ctrl+C stays the text's copy.
TEST_F(MainWindowTest, CommandsRunFromTheirButtonsEnterAndTheirKeys)
{
    for (const char* name : {"Command2", "Command3", "Command7"})
        Click(button(name));
    button("Command2").setFocus();
    QTest::keyClick(&button("Command2"), Qt::Key_Return);
    QTest::keyClick(&button("Command2"), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(&button("Command2"), Qt::Key_Space);
    field().setText(QStringLiteral("KEYS"));
    field().selectAll();
    field().setFocus();
    QTest::keyClick(&field(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "KEYS");
    const auto type = [this](QKeyCombination keys) { // in the window, active again after the dialogs
        QApplication::setActiveWindow(form.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(&field(), keys.key(), keys.keyboardModifiers());
    };
    for (const auto& [keys, dialog] : {std::pair{Qt::CTRL | Qt::Key_P, "QPrintDialog"},
             {Qt::CTRL | Qt::Key_S, "QFileDialog"}, {QKeyCombination(Qt::Key_F1), "QDialog"}}) {
        type(keys);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.shown.size() == 7; }));
        EXPECT_EQ(dialogs.shown.takeLast(), dialog);
    }
    EXPECT_EQ(dialogs.shown,
        QStringList({"QPrintDialog", "QFileDialog", "QDialog", "QPrintDialog", "QPrintDialog", "QPrintDialog"}));
    type(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QGuiApplication::clipboard()->image().isNull(); }));
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
        surface().convertToFormat(QImage::Format_RGB32));
    QTimer guard; // quitting ends the application's loop at once; no endless loop, whatever happens
    guard.callOnTimeout([] { QCoreApplication::exit(1); });
    guard.start(5000);
    QTimer::singleShot(0, form.get(), [&] { type(Qt::CTRL | Qt::Key_Q); });
    EXPECT_EQ(QApplication::exec(), 0);
}

// The file saved names the window and lies under later drawings, copies included, until the reset, which
// empties the text and leaves the rest; the next save proposes the file and type chosen last.
TEST_F(MainWindowTest, ASaveNamesTheWindowAndLeavesTheSavedPictureUnderLaterDrawings)
{
    QTemporaryDir folder;
    symbologyButton(2).click();
    box(Widen).setChecked(false); // exact widths, so that it scans
    QTest::keyClicks(&field(), QStringLiteral("Zebrix"));
    dialogs.files.push_back({folder.filePath("code.png"), 3});
    button("Command3").click();
    ASSERT_EQ(dialogs.shown, QStringList());
    EXPECT_EQ(form->windowTitle(), "Ruvovez : code.jpg");
    const QImage saved = form->barcodeView()->backgroundPicture().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(ReadOne(Reader::Zbar, saved), "Zebrix");
    field().setText(QStringLiteral("Z")); // shorter: its bars end where the saved ones go on
    ASSERT_TRUE(WaitForVerdict());
    EXPECT_TRUE(indicator().toolTip().startsWith("Dessiné sur l'image du dernier enregistrement")); // « Illisible »
    dialogs.seen = [&](QWidget* w) {
        const auto* d = static_cast<QFileDialog*>(w);
        dialogs.shown << d->selectedFiles()[0] + "|" + d->selectedNameFilter();
    };
    button("Command3").click();
    EXPECT_EQ(dialogs.shown.value(0), folder.filePath("code.jpg") + "|Format JPG-Ratio 80%  (*.JPG)");
    button("Command4").click();
    const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(copied, surface().convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(copied, saved); // the new drawing over the saved picture
    EXPECT_EQ(copied.copy(80, 10, 30, 30), saved.copy(80, 10, 30, 30));
    EXPECT_FALSE(AllWhite(saved.copy(80, 10, 30, 30)));
    for (bool again : {false, true}) { // the second time the text is already empty: nothing draws, yet it goes
        if (again)
            form->barcodeView()->setBackgroundPicture(saved), drawings.clear();
        button("Command8").click();
        EXPECT_EQ(drawings.empty(), again);
        EXPECT_TRUE(field().text().isEmpty());
        EXPECT_FALSE(form->barcodeView()->hasBackgroundPicture());
        EXPECT_TRUE(AllWhite(surface()));
    }
    EXPECT_EQ(int(form->symbology()), 2);
    EXPECT_EQ(std::tuple(box(Widen).isChecked(), box(Label).isChecked(), box(Check).isChecked()),
        std::tuple(false, true, true));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ruvovez : code.jpg"));
}

// Printing leaves the pointer as it was on cancel; a failure (nothing saved, a printer that fails, a full disk
// under the file printed into, which stays whole: on_small_disks.sh) is told once under the busy pointer, then
// the pointer is normal again; the saved picture is printed.
TEST_F(MainWindowTest, PrintFailuresAreToldOnceUnderTheBusyPointer)
{
    const QString full = qEnvironmentVariable("ZEBRIX_TEST_FULL_DISK");
    QStringList pdfs = {"nothing saved.pdf", "missing/page.pdf", "page.pdf"};
    if (!full.isEmpty())
        pdfs << full + "/old.bmp"; // precious, whatever its name
    QTemporaryDir folder;
    std::vector<Qt::CursorShape> underBox;
    dialogs.seen = [&](QWidget* w) {
        if (qobject_cast<QMessageBox*>(w))
            underBox.push_back(form->cursor().shape());
    };
    form->setCursor(Qt::CrossCursor);
    button("Command2").click(); // cancelled
    EXPECT_EQ(form->cursor().shape(), Qt::CrossCursor);
    const QString error = "Erreur|" + QString::number(QMessageBox::Critical) + "|Erreur sur l'imprimante";
    for (const QString& pdf : pdfs) {
        if (pdf == "missing/page.pdf")
            dialogs.files.push_back({folder.filePath("code.bmp"), 1}), button("Command3").click();
        const QString path = QDir(folder.path()).filePath(pdf); // the full disk's as it stands
        dialogs.pdfs.push_back(path);
        button("Command2").click();
        EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(QFile::exists(path), pdf == "page.pdf" || pdf == full + "/old.bmp") << pdf.toStdString();
    }
    EXPECT_EQ(dialogs.shown, QStringList({"QPrintDialog", error, error}) + QStringList(full.isEmpty() ? 0 : 1, error));
    EXPECT_EQ(underBox, std::vector(full.isEmpty() ? 2u : 3u, Qt::BusyCursor));
    if (!full.isEmpty()) {
        EXPECT_EQ(ReadAll(full + "/old.bmp"), "precious");
    }
}
