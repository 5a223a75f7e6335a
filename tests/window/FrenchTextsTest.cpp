// Qt's own texts, as the program shows them: in French, whatever the locale.
#include "LongLineEdit.h"
#include "platform/FrenchTranslations.h"
#include "platform/MessageBox.h"
#include "platform/SaveFileDialog.h"
#include "support/Modal.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>

using namespace zebrix;
using namespace zebrix::test;

TEST(FrenchTexts, DialogsButtonsAndTheTextFieldsMenuAreInFrench)
{
    const QLocale locale;
    QTranslator* french = InstallFrenchTranslations();
    ASSERT_NE(french, nullptr) << "Qt's French translations (qt6-translations-l10n) are not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(QFile(dir.filePath("a.bmp")).open(QIODevice::WriteOnly));
    QStringList seen; // the captions of a dialog's labels and buttons, in their order
    const auto note = [&](QWidget* d) {
        for (QLabel* l : d->findChildren<QLabel*>())
            if (!l->text().isEmpty() && l->isVisible())
                seen << l->text();
        for (QAbstractButton* b : d->findChildren<QPushButton*>())
            if (b->isVisible())
                seen << b->text();
    };
    OnModal<QFileDialog>([&](QFileDialog* d) {
        note(d);
        OnModal<QMessageBox>([&, d](QMessageBox* box) { // the proposed name exists: the overwrite question
            note(box);
            box->button(QMessageBox::No)->click();
            QTimer::singleShot(0, d, [d] { d->reject(); });
        });
        static_cast<QDialog*>(d)->accept();
    });
    QtSaveFileDialog().getSaveFileName(nullptr, SaveDialogRequest{"Enregistrer Sous", {{"Image", "*.BMP"}}, 1,
                                                                  dir.filePath("a.bmp"), true});
    LongLineEdit field;
    field.setText("abc");
    field.show();
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), field.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&field, &menuEvent);
    for (QAction* a : field.findChild<QMenu*>()->actions())
        if (!a->isSeparator())
            seen << a->text().section(QLatin1Char('\t'), 0, 0);
    QCoreApplication::removeTranslator(french);
    QLocale::setDefault(locale);
    EXPECT_EQ(seen, QStringList({"Voir dans :", "&Nom de fichier :", "Fichiers de type :", "&Enregistrer", "Annuler",
                                 "Le fichier a.bmp existe déjà\nVoulez-vous l'écraser ?", "&Oui", "&Non", "&Annuler",
                                 "&Rétablir", "Co&uper", "Cop&ier", "Co&ller", "Supprimer", "Tout sélectionner"}));
}
