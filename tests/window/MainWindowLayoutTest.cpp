// The window as it opens: every control where it was designed, with its
// caption, tooltip, font and colours; the start-up state; tab order and focus.
#include "WindowFixture.h"

#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>

#include <cmath>

using namespace zebrix;
using namespace zebrix::test;

namespace {

enum class Kind { Label, Text, Button, Frame, Panel, Option, Check, Surface };

struct Control {
    const char* name;
    Kind kind;
    const char* container;
    const char* caption;
    const char* tooltip;
    int l, t, w, h; // twips, inside the container
};

const Control kControls[] = {
    {"Label1_0", Kind::Label, "Form1", "Données du code barre : ", "", 120, 120, 2175, 255},
    {"Text1", Kind::Text, "Form1", "", "", 2280, 120, 4575, 285},
    {"Command6", Kind::Button, "Form1", "...", "Coller un lien à partir du presse papier", 6960, 120, 375, 375},
    {"Frame1_1", Kind::Frame, "Form1", "Type Code Barre", "", 120, 480, 1815, 1455},
    {"Picture3", Kind::Panel, "Frame1_1", "", "", 120, 360, 975, 975},
    {"Option1_0", Kind::Option, "Picture3", "39", "Code 3 of 9", 0, 0, 975, 255},
    {"Option1_1", Kind::Option, "Picture3", "I 2 of 5", "Interleaved 2 of 5", 0, 240, 975, 255},
    {"Option1_2", Kind::Option, "Picture3", "128", "Code 128", 0, 480, 975, 255},
    {"Option1_3", Kind::Option, "Picture3", "Codabar", "Codabar/NW-7", 0, 720, 900, 255},
    {"Frame1_0", Kind::Frame, "Form1", "Paramètres ", "", 2040, 480, 2295, 1455},
    {"Check1_0", Kind::Check, "Frame1_0", "Optimisé pour impression", "Increases spacing", 120, 360, 2055, 195},
    {"Check1_1", Kind::Check, "Frame1_0", "Ajout du label", "Human readable", 120, 600, 2055, 195},
    {"Check1_2", Kind::Check, "Frame1_0", "Avec vérification", "Optional", 120, 840, 1935, 195},
    {"Frame2", Kind::Frame, "Form1", "", "", 4440, 480, 2895, 1935},
    {"Command4", Kind::Button, "Frame2", "Copier vers presse papier", "Copier le code barre (Ctrl+Shift+C)", 120, 240, 2655, 495},
    {"Command3", Kind::Button, "Frame2", "Enregistrer le Code Barre sous...", "Enregistrer le code barre (Ctrl+S)", 120, 840, 2655, 495},
    {"Command2", Kind::Button, "Frame2", "Imprimer le Code Barre", "Imprimer le code barre (Ctrl+P)", 120, 1440, 1935, 375},
    {"Command8", Kind::Button, "Frame2", "RàZ", "Réinitialisation...", 2160, 1440, 615, 375},
    {"Command5", Kind::Button, "Form1", "Quitter Zebrix", "Quitter Zebrix (Ctrl+Q)", 120, 2040, 3495, 375},
    {"Command7", Kind::Button, "Form1", "", "A Propos", 3720, 2040, 615, 375},
    {"PicImage", Kind::Surface, "Form1", "", "", 120, 2520, 7215, 1000},
};

int Px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

QString Caption(QWidget* w)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    return {};
}

bool IsKind(QWidget* w, Kind kind)
{
    switch (kind) {
    case Kind::Label: return qobject_cast<QLabel*>(w) != nullptr;
    case Kind::Text: return qobject_cast<QLineEdit*>(w) != nullptr;
    case Kind::Button: return qobject_cast<QPushButton*>(w) != nullptr;
    case Kind::Frame: return qobject_cast<QGroupBox*>(w) != nullptr;
    case Kind::Panel: return w->metaObject() == &QWidget::staticMetaObject;
    case Kind::Option: return qobject_cast<QRadioButton*>(w) != nullptr;
    case Kind::Check: return qobject_cast<QCheckBox*>(w) != nullptr;
    case Kind::Surface: return dynamic_cast<BarcodeView*>(w) != nullptr;
    }
    return false;
}

} // namespace

using MainWindowLayout = WindowTest;

TEST_F(MainWindowLayout, EveryControlIsWhereItWasDesigned)
{
    for (const Control& c : kControls) {
        SCOPED_TRACE(c.name);
        auto* w = form->findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(IsKind(w, c.kind));
        EXPECT_EQ(w->parentWidget()->objectName(), QLatin1String(c.container));
        EXPECT_EQ(Caption(w), QString::fromUtf8(c.caption));
        EXPECT_EQ(w->toolTip(), QString::fromUtf8(c.tooltip));
        EXPECT_EQ(w->pos(), QPoint(Px(c.l), Px(c.t)));
        EXPECT_EQ(w->height(), Px(c.h));
        if (c.kind == Kind::Option || c.kind == Kind::Check) {
            EXPECT_GE(w->width(), Px(c.w)); // grows when the stand-in font is wider
        } else if (c.kind != Kind::Surface) { // the surface follows the window
            EXPECT_EQ(w->width(), Px(c.w));
        }
        EXPECT_TRUE(w->isVisible());
    }
    // The captions of the boxes are not cut (their container may still clip).
    for (int i = 0; i < 3; ++i)
        EXPECT_GE(optionBox(i).width(), optionBox(i).sizeHint().width());
    for (int i = 0; i < 4; ++i)
        EXPECT_GE(symbologyButton(i).width(), symbologyButton(i).sizeHint().width());
}

TEST_F(MainWindowLayout, TheWindowItself)
{
    EXPECT_EQ(form->objectName(), QLatin1String("Form1"));
    EXPECT_EQ(form->windowTitle(), QLatin1String("Zebrix"));
    EXPECT_EQ(form->size(), QSize(497, 245));
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_NE(form->minimumSize(), form->maximumSize()); // sizable

    const QRect screen = form->screen()->availableGeometry();
    EXPECT_LE((form->frameGeometry().center() - screen.center()).manhattanLength(), 1);

    EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(32, 32)));
    const QImage about(QStringLiteral(":/zebrix/about.png"));
    EXPECT_EQ(about.size(), QSize(15, 21));
    EXPECT_FALSE(about.hasAlphaChannel());
    auto* command7 = form->findChild<QPushButton*>(QStringLiteral("Command7"));
    EXPECT_EQ(command7->iconSize(), QSize(15, 21));
    EXPECT_FALSE(command7->icon().isNull());
}

TEST_F(MainWindowLayout, FontsAreTheDesignedSizeAndWeightInAnInstalledSansSerif)
{
    struct Font {
        const char* name;
        int pixels;
        bool bold;
    };
    // The frames' bold must not reach the boxes inside them.
    const Font fonts[] = {
        {"Label1_0", 11, true}, {"Text1", 11, true},      {"Command6", 13, true},  {"Frame1_1", 11, true},
        {"Option1_3", 11, false}, {"Check1_2", 11, false}, {"Command3", 11, false}, {"Command5", 11, true},
        {"Form1", 11, false},
    };
    for (const Font& f : fonts) {
        SCOPED_TRACE(f.name);
        QWidget* w = f.name == std::string("Form1") ? form.get() : form->findChild<QWidget*>(QLatin1String(f.name));
        ASSERT_NE(w, nullptr);
        const QFontInfo info(w->font());
        EXPECT_EQ(info.pixelSize(), f.pixels);
        EXPECT_EQ(info.bold(), f.bold);
        EXPECT_FALSE(info.family().isEmpty());
        EXPECT_NE(info.styleHint(), QFont::Monospace);
    }
}

TEST_F(MainWindowLayout, BlackWindowWhiteCaptionsWhiteSurfaceSystemButtons)
{
    for (const char* name : {"Frame1_0", "Frame1_1", "Frame2", "Label1_0", "Option1_0", "Option1_3", "Check1_0",
                             "Check1_2", "Picture3"}) {
        SCOPED_TRACE(name);
        auto* w = form->findChild<QWidget*>(QLatin1String(name));
        EXPECT_EQ(w->palette().color(QPalette::Window), QColor(Qt::black));
        EXPECT_EQ(w->palette().color(QPalette::WindowText), QColor(Qt::white));
    }
    for (const char* name : {"Text1", "Command4", "Command7"}) {
        SCOPED_TRACE(name);
        auto* w = form->findChild<QWidget*>(QLatin1String(name));
        EXPECT_EQ(w->palette().color(QPalette::Button), QApplication::palette(w).color(QPalette::Button));
        EXPECT_EQ(w->palette().color(QPalette::Window), QApplication::palette(w).color(QPalette::Window));
    }
    // As drawn: black ground around the surface, white surface.
    const QImage shot = form->grab().toImage();
    const QRect pic = form->barcodeView()->geometry();
    EXPECT_EQ(shot.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(pic.left() - 3, pic.center().y()), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(pic.center()), qRgb(255, 255, 255));

    // On black: a box the keyboard reaches shows a mark as bright as its
    // caption; a disabled box's caption turns grey, still readable.
    const auto brightest = [](const QImage& image, const QImage& other) {
        int most = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (other.isNull() || image.pixel(x, y) != other.pixel(x, y))
                    most = std::max(most, qGray(image.pixel(x, y)));
        return most;
    };
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const QImage unfocused = symbologyButton(0).grab().toImage();
    QTest::keyClick(&textField(), Qt::Key_Tab);
    ASSERT_TRUE(symbologyButton(0).hasFocus());
    EXPECT_GE(brightest(symbologyButton(0).grab().toImage(), unfocused), 192);
    QStyleOption box;
    box.initFrom(&addCheckBox());
    const QRect caption = addCheckBox().style()->subElementRect(QStyle::SE_CheckBoxContents, &box, &addCheckBox());
    EXPECT_GE(brightest(addCheckBox().grab(caption).toImage(), QImage()), 240);
    symbologyButton(3).click(); // Codabar: no check character
    ASSERT_FALSE(addCheckBox().isEnabled());
    const int disabled = brightest(addCheckBox().grab(caption).toImage(), QImage());
    EXPECT_GE(disabled, 96);
    EXPECT_LE(disabled, 160);
}

TEST_F(MainWindowLayout, StartUpState)
{
    EXPECT_TRUE(symbologyButton(0).isChecked());
    EXPECT_EQ(symbologyIndex(), 0);
    EXPECT_TRUE(widenSpacesBox().isChecked()); // P = 1
    EXPECT_TRUE(addLabelBox().isChecked()); // L = 1
    EXPECT_FALSE(addCheckBox().isChecked()); // C = 0
    EXPECT_TRUE(addCheckBox().isEnabled());
    EXPECT_EQ(addCheckBox().toolTip(), QLatin1String("Optional"));
    EXPECT_TRUE(textField().text().isEmpty());
    EXPECT_GE(textField().maxLength(), 1 << 30);

    // The first display drew once, on a surface as wide as the window's
    // outer width minus 380 twips, and left it blank.
    ASSERT_FALSE(drawings.empty());
    EXPECT_EQ(drawings.back().symbology, 0);
    EXPECT_EQ(form->barcodeView()->width(), MainWindow::SurfaceWidthFor(form->frameGeometry().width()));
    EXPECT_EQ(surface().size(), form->barcodeView()->size());
    EXPECT_EQ(surface().height(), 67);
    EXPECT_TRUE(AllWhite(surface()));
    EXPECT_FALSE(form->barcodeView()->hasBackgroundPicture());
}

TEST_F(MainWindowLayout, TabOrderStartsInTheTextField)
{
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), &textField());

    const char* expected[] = {"Text1",    "Option1_0", "Option1_1", "Option1_2", "Option1_3",
                              "Check1_0", "Check1_1",  "Check1_2",  "Command4",  "Command2",
                              "Command3", "Command6",  "Command7",  "Command8",  "Command5"};
    QWidget* w = &textField();
    for (const char* name : expected) {
        EXPECT_EQ(w->objectName(), QLatin1String(name));
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) && w != &textField());
    }
    EXPECT_EQ(w, &textField()); // and round again
}
