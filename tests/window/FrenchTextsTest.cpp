// Qt's own texts, as the program shows them: in French, whatever the locale.
#include "LongLineEdit.h"
#include "platform/FrenchTranslations.h"
#include "platform/MessageBox.h"
#include "support/Modal.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

using namespace zebrix;
using namespace zebrix::test;

TEST(FrenchTexts, AQuestionsButtonsAndTheTextFieldsMenuAreInFrench)
{
    const QLocale locale;
    QTranslator* french = InstallFrenchTranslations();
    ASSERT_NE(french, nullptr) << "Qt's French translations (qt6-translations-l10n) are not installed";
    QStringList seen;
    OnModal<QMessageBox>([&](QMessageBox* box) {
        for (QAbstractButton* b : box->buttons())
            seen << b->text();
        box->button(QMessageBox::No)->click();
    });
    QtMessageBoxService().show(nullptr, "Question", "Titre", MessageIcon::Question, MessageButtons::YesNo);
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
    EXPECT_EQ(seen, QStringList({"&Oui", "&Non", "&Annuler", "&Rétablir", "Co&uper", "Cop&ier", "Co&ller", "Supprimer",
                                 "Tout sélectionner"}));
}
