// The real message box: in French whatever the locale, and its "Oui" and "Non" give their answers.
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
    QCoreApplication::removeTranslator(french);
    QLocale::setDefault(locale);
}
