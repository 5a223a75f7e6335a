#pragma once
// A main window built with test doubles, shown on the offscreen platform, with
// every drawing recorded (the symbology used, the image, the check box's state).
#include "MainWindow.h"
#include "support/Decoders.h"
#include "support/FakeClipboard.h"
#include "support/FakeMessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zebrix::test {

struct Drawing {
    int symbology;
    QImage image;
    QString addCheckTooltip;
    bool addCheckEnabled;
};

inline MainWindowServices Doubles(FakeMessageBox& messages, FakeClipboard& clipboard)
{
    MainWindowServices services;
    services.messageBox = &messages;
    services.clipboard = &clipboard;
    return services;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MainWindowServices services = Doubles(messages, clipboard);
        services.print = [this](MainWindow& f) { commandsRun.push_back({"print", &f}); };
        services.save = [this](MainWindow& f) { commandsRun.push_back({"save", &f}); };
        services.about = [this](MainWindow& f) { commandsRun.push_back({"about", &f}); };
        services.quit = [this] { ++quits; };
        form = std::make_unique<MainWindow>(std::move(services));
        form->setDrawObserver([this](Symbology type, const QImage& image) {
            drawings.push_back({static_cast<int>(type), image, addCheckBox().toolTip(), addCheckBox().isEnabled()});
        });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void Activate()
    {
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    QLineEdit& textField() { return *form->textField(); }
    QCheckBox& optionBox(int i) { return *form->optionBox(static_cast<OptionBox>(i)); }
    QCheckBox& widenSpacesBox() { return optionBox(0); }
    QCheckBox& addLabelBox() { return optionBox(1); }
    QCheckBox& addCheckBox() { return optionBox(2); }
    QRadioButton& symbologyButton(int i) { return *form->symbologyButton(static_cast<Symbology>(i)); }
    QPushButton& button(const char* name) { return *form->findChild<QPushButton*>(QLatin1String(name)); }
    int symbologyIndex() const { return static_cast<int>(form->symbology()); }
    const QImage& surface() { return form->barcodeView()->image(); }

    // A click with the mouse, as a user does it.
    static void Click(QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(6, w.height() / 2)); }

    FakeClipboard clipboard;
    FakeMessageBox messages;
    std::vector<std::pair<std::string, MainWindow*>> commandsRun;
    int quits = 0;
    std::unique_ptr<MainWindow> form;
    std::vector<Drawing> drawings;
};

// The single text a reader finds in the image, or "" when it finds none or several.
inline std::string ReadZXing(const QImage& image)
{
    const auto texts = DecodeWithZXing(image);
    return texts.size() == 1 ? texts.front() : std::string();
}
inline std::string ReadZbar(const QImage& image)
{
    const auto texts = DecodeWithZbar(image);
    return texts.size() == 1 ? texts.front() : std::string();
}

// True when no pixel of the rectangle (clipped to the image) is anything but white.
inline bool AllWhite(const QImage& image, QRect area = {})
{
    area = (area.isNull() ? image.rect() : area) & image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

} // namespace zebrix::test
