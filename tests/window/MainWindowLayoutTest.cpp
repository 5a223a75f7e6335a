// The window as it opens: its controls with their captions, in tab order, none
// hiding another; its colours; the start-up state.
#include "WindowFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QScreen>

using namespace zebrix;
using namespace zebrix::test;

using MainWindowLayout = WindowTest;

TEST_F(MainWindowLayout, EveryControlShowsItsCaptionInTabOrderAndNoneHidesAnother)
{
    EXPECT_EQ(std::pair(form->windowTitle(), form->size()), std::pair(QStringLiteral("Zebrix"), QSize(497, 245)));
    EXPECT_FALSE(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_LE((form->frameGeometry().center() - form->screen()->availableGeometry().center()).manhattanLength(), 1);
    EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(32, 32)) && !button("Command7").icon().isNull());
    const struct {
        const char *name, *caption, *tooltip;
    } rows[] = { // the controls the Tab key reaches, in its order, then the others
        {"Text1", "", ""}, {"Option1_0", "39", "Code 3 of 9"}, {"Option1_1", "I 2 of 5", "Interleaved 2 of 5"},
        {"Option1_2", "128", "Code 128"}, {"Option1_3", "Codabar", "Codabar/NW-7"},
        {"Check1_0", "Optimisé pour impression", "Increases spacing"}, {"Check1_1", "Ajout du label", "Human readable"},
        {"Check1_2", "Avec vérification", "Optional"},
        {"Command4", "Copier vers presse papier", "Copier le code barre (Ctrl+Shift+C)"},
        {"Command2", "Imprimer le Code Barre", "Imprimer le code barre (Ctrl+P)"},
        {"Command3", "Enregistrer le Code Barre sous...", "Enregistrer le code barre (Ctrl+S)"},
        {"Command6", "...", "Coller un lien à partir du presse papier"}, {"Command7", "", "A Propos"},
        {"Command8", "RàZ", "Réinitialisation..."}, {"Command5", "Quitter Zebrix", "Quitter Zebrix (Ctrl+Q)"},
        {"Label1_0", "Données du code barre : ", ""}, {"PicImage", "", ""}, {"VerdictIndicator", nullptr, nullptr} /* shown once there is a text */,
        {"Frame1_1", "Type Code Barre", ""}, {"Frame1_0", "Paramètres ", ""}, {"Frame2", "", ""},
    };
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
        if (box && !qobject_cast<QPushButton*>(w)) { EXPECT_GE(w->width(), w->sizeHint().width()); } // not cut
        if (row.caption) {
            EXPECT_EQ(box ? box->text() : label ? label->text() : frame ? frame->title() : QString(), QString::fromUtf8(row.caption));
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

TEST_F(MainWindowLayout, BlackWindowWhiteCaptionsWhiteSurfaceSharpAtEveryScale)
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
    EXPECT_EQ(std::tuple(widenSpacesBox().isChecked(), addLabelBox().isChecked(), addCheckBox().isChecked()),
              std::tuple(true, true, false));
    EXPECT_TRUE(addCheckBox().isEnabled());
    EXPECT_EQ(addCheckBox().toolTip(), QLatin1String("Optional"));
    EXPECT_TRUE(textField().text().isEmpty());
    EXPECT_GE(textField().maxLength(), 1 << 30);
    ASSERT_FALSE(drawings.empty()); // drawn once, blank
    EXPECT_EQ(drawings.back().symbology, 0);
    EXPECT_EQ(surface().size(), QSize(form->barcodeView()->width(), 67));
    EXPECT_TRUE(AllWhite(surface()));
}
