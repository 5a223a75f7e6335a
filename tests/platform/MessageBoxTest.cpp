// The real message box in French whatever the locale, its "Oui" and "Non" answers; the texts Qt's French lacks.
#include "platform/MessageBox.h"
#include "platform/FrenchTranslations.h"
#include "support/Modal.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace zebrix;

TEST(QtMessageBox, SaysOuiAndNonAndGivesTheirAnswers)
{
    const QLocale locale;
    QTranslator* french = InstallFrenchTranslations();
    ASSERT_NE(french, nullptr) << "Qt's French translations (qt6-translations-l10n) are not installed";
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QString captions;
        test::OnModal<QMessageBox>([&](QMessageBox* box) {
            captions = box->button(QMessageBox::Yes)->text() + "/" + box->button(QMessageBox::No)->text();
            box->button(answer)->click();
        });
        EXPECT_EQ(
            ShowMessage(nullptr, "?", "Zebrix", QMessageBox::Question, QMessageBox::Yes | QMessageBox::No), answer);
        EXPECT_EQ(captions, "&Oui/&Non");
    }
    // The texts Qt's catalogue lacks are ours, each in its own context only.
    EXPECT_EQ(QCoreApplication::translate("QPrintSettingsOutput", "Off"), "Non");
    EXPECT_EQ(QCoreApplication::translate("QPrintSettingsOutput", "File"), "File");
    QCoreApplication::removeTranslator(french);
    QLocale::setDefault(locale);
}
