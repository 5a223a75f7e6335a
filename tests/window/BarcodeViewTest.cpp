// The surface widget: keeps its drawing, paints it back, stays crisp when
// scaled for a high-DPI screen, and holds the background picture.
#include "BarcodeView.h"
#include "support/Decoders.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace zebrix;

namespace {

Drawing Bars()
{
    Drawing d;
    d.kind = Drawing::Kind::Bars;
    d.columns = {20, 22, 23, 26};
    d.bottom = 50;
    return d;
}

} // namespace

TEST(BarcodeView, PaintsItsDrawingBackPixelForPixel)
{
    BarcodeView pic;
    pic.setSurfaceWidth(120);
    EXPECT_EQ(pic.size(), QSize(120, 67));
    EXPECT_EQ(pic.image().size(), QSize(120, 67));
    pic.show(Bars());
    pic.QWidget::show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pic));
    EXPECT_EQ(pic.grab().toImage().convertToFormat(QImage::Format_RGB32), pic.image());
}

TEST(BarcodeView, HighDpiScalingKeepsBarsSharp)
{
    BarcodeView pic;
    pic.setSurfaceWidth(60);
    pic.show(Bars());
    for (qreal ratio : {2.0, 3.0}) {
        SCOPED_TRACE(ratio);
        const int r = static_cast<int>(ratio);
        QImage device(60 * r, 67 * r, QImage::Format_RGB32);
        device.setDevicePixelRatio(ratio);
        device.fill(Qt::gray);
        pic.render(&device);
        for (int y = 0; y < device.height(); ++y)
            for (int x = 0; x < device.width(); ++x) {
                const QRgb p = device.pixel(x, y);
                ASSERT_TRUE(p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255)) << x << "," << y;
            }
        // The bar at x = 20 covers exactly r device columns.
        EXPECT_EQ(device.pixel(20 * r - 1, 10 * r), qRgb(255, 255, 255));
        EXPECT_EQ(device.pixel(20 * r, 10 * r), qRgb(0, 0, 0));
        EXPECT_EQ(device.pixel(21 * r - 1, 10 * r), qRgb(0, 0, 0));
        EXPECT_EQ(device.pixel(21 * r, 10 * r), qRgb(255, 255, 255));
    }
}

TEST(BarcodeView, BackgroundPictureLiesUnderEveryDrawingUntilRemoved)
{
    BarcodeView pic;
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    pic.show(Bars());
    pic.setBackgroundPicture(picture); // shown at once, on a fresh ground
    EXPECT_EQ(pic.image().pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(pic.image().pixel(20, 20), qRgb(255, 255, 255));
    pic.show(Bars());
    EXPECT_EQ(pic.image().pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(pic.image().pixel(20, 5), qRgb(0, 0, 0));
    EXPECT_EQ(pic.backgroundPicture(), picture);

    pic.setSurfaceWidth(200); // a new width keeps the picture
    EXPECT_EQ(pic.image().pixel(5, 5), qRgb(0, 0, 255));
    pic.clearBackgroundPicture();
    EXPECT_FALSE(pic.hasBackgroundPicture());
    EXPECT_EQ(pic.image().pixel(5, 5), qRgb(255, 255, 255));
    pic.setSurfaceWidth(-40); // never below one pixel
    EXPECT_EQ(pic.image().size(), QSize(1, 67));
}
