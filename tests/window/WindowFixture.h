#pragma once
// A main window shown on the offscreen platform, with every drawing recorded
// (the symbology used, the image, the check box's state) and Qt's dialogs
// answered from the test.
#include "MainWindow.h"
#include "support/Decoders.h"
#include "support/Modal.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace zebrix::test {

class WindowTest : public ::testing::Test {
protected:
    struct Drawing {
        int symbology;
        QImage image;
        QString addCheckTooltip;
        bool addCheckEnabled;
    };
    void SetUp() override
    {
        form = std::make_unique<MainWindow>();
        form->setDrawObserver([this](Symbology type, const QImage& image) {
            drawings.push_back({static_cast<int>(type), image, addCheckBox().toolTip(), addCheckBox().isEnabled()});
        });
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    LongLineEdit& textField() { return *form->textField(); }
    QCheckBox& widenSpacesBox() { return *form->optionBox(OptionBox::WidenSpaces); }
    QCheckBox& addLabelBox() { return *form->optionBox(OptionBox::AddLabel); }
    QCheckBox& addCheckBox() { return *form->optionBox(OptionBox::AddCheck); }
    QRadioButton& symbologyButton(int i) { return *form->symbologyButton(static_cast<Symbology>(i)); }
    QPushButton& button(const char* name) { return *form->findChild<QPushButton*>(QLatin1String(name)); }
    int symbologyIndex() const { return static_cast<int>(form->symbology()); }
    const QImage& surface() { return form->barcodeView()->image(); }
    static void Click(QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(6, w.height() / 2)); }

    Dialogs dialogs;
    std::unique_ptr<MainWindow> form;
    std::vector<Drawing> drawings;
};

// The single text a reader finds in the image, or "" when it finds none or several.
inline std::string Single(const std::vector<std::string>& texts) { return texts.size() == 1 ? texts[0] : ""; }
inline std::string ReadZXing(const QImage& image) { return Single(DecodeWithZXing(image)); }
inline std::string ReadZbar(const QImage& image) { return Single(DecodeWithZbar(image)); }

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
