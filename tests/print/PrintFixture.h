#pragma once
// A main window whose print button runs the print command on a scripted print
// dialog (FakePrintService), with a scripted message box and clipboard, and a
// folder for the saved files.
#include "SaveForPrint.h"
#include "support/FakePrinter.h"
#include "window/WindowFixture.h"

#include <QPushButton>
#include <QTemporaryDir>

namespace zebrix::test {

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        MainWindowServices services;
        services.messageBox = &messages;
        services.clipboard = &clipboard;
        services.print = PrintCommand(printers);
        form = std::make_unique<MainWindow>(std::move(services));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // A click on "Imprimer le Code Barre", as a user does it.
    void Print()
    {
        auto* button = form->findChild<QPushButton*>(QStringLiteral("Command2"));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    // Types the text into a clean surface and saves it; the file's path.
    QString Save(const QString& text, const QString& name = QStringLiteral("code.bmp"),
                 SaveFormat format = SaveFormat::Bmp)
    {
        form->reset();
        form->textField()->setText(text);
        const QString path = folder.filePath(name);
        EXPECT_TRUE(SaveLikeTheSaveCommand(*form, path, format));
        return path;
    }

    // The window shows the normal pointer.
    bool NormalPointer() const { return form->cursor().shape() == Qt::ArrowCursor; }

    void ExpectOnePrinterError()
    {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, QStringLiteral("Erreur sur l'imprimante"));
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("Erreur"));
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
        EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    }

    QTemporaryDir folder;
    FakeMessageBox messages;
    FakeClipboard clipboard;
    FakePrintService printers;
    std::unique_ptr<MainWindow> form;
};

} // namespace zebrix::test
