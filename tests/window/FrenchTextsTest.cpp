// Qt's own texts, as the program shows them: in French, whatever the locale.
#include "LongLineEdit.h"
#include "platform/FrenchTranslations.h"
#include "platform/InputBox.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "platform/SaveFileDialog.h"
#include "support/Modal.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
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
    OnModal<QMessageBox>([&](QMessageBox* box) { note(box); box->button(QMessageBox::No)->click(); });
    QtMessageBoxService().show(nullptr, "Question", "Titre", MessageIcon::Question, MessageButtons::YesNo);
    OnModal<QInputDialog>([&](QInputDialog* d) { note(d); d->reject(); });
    QtInputBox().getText(nullptr, "Titre", "Invite", "100");
    OnModal<QFileDialog>([&](QFileDialog* d) {
        note(d);
        OnModal<QMessageBox>([&, d](QMessageBox* box) {
            note(box);
            box->button(QMessageBox::No)->click();
            QTimer::singleShot(0, d, [d] { d->reject(); });
        });
        static_cast<QDialog*>(d)->accept(); // the proposed name exists: the overwrite question
    });
    QtSaveFileDialog().getSaveFileName(nullptr, SaveDialogRequest{"Enregistrer Sous", {{"Image", "*.BMP"}}, 1,
                                                                  dir.filePath("a.bmp"), true});
    OnModal<QPrintDialog>([&](QPrintDialog* d) { note(d); d->reject(); });
    QtPrintService().choosePrinter(nullptr);

    LongLineEdit field;
    field.setText("abc");
    field.show();
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), field.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&field, &menuEvent);
    ASSERT_NE(field.findChild<QMenu*>(), nullptr);
    for (QAction* a : field.findChild<QMenu*>()->actions())
        if (!a->isSeparator())
            seen << a->text().section(QLatin1Char('\t'), 0, 0);
    QCoreApplication::removeTranslator(french);
    QLocale::setDefault(locale);

    const QStringList inFrench = {
        "Question", "&Oui", "&Non",                                              // a message box
        "Invite", "OK", "Annuler",                                               // the input box
        "Voir dans :", "&Nom de fichier :", "Fichiers de type :", "&Enregistrer", "Annuler", // the save dialog
        "Le fichier a.bmp existe déjà\nVoulez-vous l'écraser ?", "&Oui", "&Non", // and its question
        "&Nom :", "Emplacement :", "Fichier local", "Type :", "Imprime dans un fichier PDF", // the print dialog
        "&Fichier de sortie :", "P&ropriétés", "Im&primer", "Annuler", "&Options >>",
        "&Annuler", "&Rétablir", "Co&uper", "Cop&ier", "Co&ller", "Supprimer", "Tout sélectionner", // the menu
    };
    EXPECT_EQ(seen, inFrench);
}
