// The surface widget paints its drawing back pixel for pixel, and stays crisp
// when scaled for a high-DPI screen.
#include "BarcodeView.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace zebrix;

TEST(BarcodeView, PaintsItsDrawingBackPixelForPixelAndSharpAtEveryScale)
{
    Drawing bars;
    bars.kind = Drawing::Kind::Bars;
    bars.columns = {20, 22, 23, 26};
    bars.bottom = 50;
    BarcodeView view;
    view.setSurfaceWidth(60);
    view.show(bars);
    view.QWidget::show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.size(), QSize(60, 67));
    EXPECT_EQ(view.grab().toImage().convertToFormat(QImage::Format_RGB32), view.image());
    for (int r : {2, 3}) {
        SCOPED_TRACE(r);
        QImage device(60 * r, 67 * r, QImage::Format_RGB32);
        device.setDevicePixelRatio(r);
        device.fill(Qt::gray);
        view.render(&device);
        for (int y = 0; y < device.height(); ++y)
            for (int x = 0; x < device.width(); ++x)
                ASSERT_TRUE(device.pixel(x, y) == qRgb(0, 0, 0) || device.pixel(x, y) == qRgb(255, 255, 255)) << x << "," << y;
        for (int x : {20 * r - 1, 20 * r, 21 * r - 1, 21 * r}) // the bar at x = 20 covers exactly r device columns
            EXPECT_EQ(device.pixel(x, 10 * r), x / r == 20 ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) << x;
    }
}
