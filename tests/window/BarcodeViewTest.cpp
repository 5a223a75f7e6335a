// The surface widget paints its drawing back pixel for pixel, and stays sharp
// when scaled for a high-DPI screen.
#include "BarcodeView.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace zebrix;

TEST(BarcodeView, PaintsItsDrawingBackPixelForPixelAndSharpAtEveryScale)
{
    BarcodeView view;
    view.setSurfaceWidth(60);
    view.show(Encode(Symbology::Code39, u"A", Options{0, 0, 0}, 60));
    view.QWidget::show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.grab().toImage().convertToFormat(QImage::Format_RGB32), view.image());
    for (int r : {2, 3}) {
        QImage device(60 * r, 67 * r, QImage::Format_RGB32);
        device.setDevicePixelRatio(r);
        view.render(&device);
        // Each pixel becomes r x r device pixels of the same colour.
        EXPECT_EQ(device.convertToFormat(QImage::Format_RGB32), view.image().scaled(60 * r, 67 * r)) << r;
    }
}
