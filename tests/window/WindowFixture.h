#pragma once
// A main window built with test doubles, shown on the offscreen platform,
// with every drawing recorded (symbology used and the image drawn).
#include "Form1.h"
#include "support/Decoders.h"
#include "support/FakeClipboard.h"
#include "support/FakeMessageBox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zebrix::test {

struct Drawing {
    std::int32_t typeCode;
    QImage image;
    QString check2Tooltip; // Check1(2) while drawing
    bool check2Enabled;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form1Services services;
        services.messageBox = &messages;
        services.clipboard = &clipboard;
        services.print = [this](Form1& f) { commandsRun.push_back({"print", &f}); };
        services.save = [this](Form1& f) { commandsRun.push_back({"save", &f}); };
        services.about = [this](Form1& f) { commandsRun.push_back({"about", &f}); };
        services.quit = [this] { ++quits; };
        form = std::make_unique<Form1>(std::move(services));
        form->setDrawObserver([this](std::int32_t type, const QImage& image) {
            drawings.push_back({type, image, check1(2).toolTip(), check1(2).isEnabled()});
        });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    QLineEdit& text1() { return *form->text1(); }
    QCheckBox& check1(int i) { return *form->check1(i); }
    QRadioButton& option1(int i) { return *form->option1(i); }
    const QImage& surface() { return form->picImage()->image(); }

    // A click with the mouse, as a user does it.
    static void Click(QWidget& w) { QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(6, w.height() / 2)); }

    // Sets P, L, C through the boxes, then forgets the drawings that made.
    void SetOptions(bool P, bool L, bool C)
    {
        check1(0).setChecked(P);
        check1(1).setChecked(L);
        check1(2).setChecked(C);
        drawings.clear();
    }

    struct CommandRun {
        std::string name;
        Form1* window;
    };

    FakeClipboard clipboard;
    FakeMessageBox messages;
    std::vector<CommandRun> commandsRun;
    int quits = 0;
    std::unique_ptr<Form1> form;
    std::vector<Drawing> drawings;
};

// The single text ZXing reads in the image, or "" when it reads none or several.
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
    if (area.isNull())
        area = image.rect();
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

} // namespace zebrix::test
