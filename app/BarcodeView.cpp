#include "BarcodeView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace zebrix {

BarcodeView::BarcodeView(QWidget* parent)
    : QWidget(parent)
    , surface_(BarcodePicture::kDefaultWidth, BarcodePicture::kDefaultHeight)
{
    // Every pixel comes from the image: no background to fill first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(surface_.width(), surface_.height());
}

void BarcodeView::setSurfaceWidth(int width)
{
    width = std::max(width, 1);
    if (width != surface_.width())
        surface_.resize(width, surface_.height());
    resize(width, surface_.height());
}

void BarcodeView::show(const Drawing& drawing)
{
    surface_.show(drawing);
    update();
}

void BarcodeView::setBackgroundPicture(const QImage& picture)
{
    surface_.setBackgroundPicture(picture);
    surface_.clear();
    update();
}

void BarcodeView::clearBackgroundPicture()
{
    surface_.clearBackgroundPicture();
    surface_.clear();
    update();
}

void BarcodeView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // On a high-DPI screen each image pixel becomes a block of device pixels:
    // no smoothing, so one-pixel bars stay sharp and black.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect area = event->rect() & rect();
    painter.drawImage(area, surface_.image(), area);
}

void BarcodeView::resizeEvent(QResizeEvent* event)
{
    // Sized from outside (not through setSurfaceWidth): follow, blank.
    const QSize size = event->size();
    if (std::max(size.width(), 1) != surface_.width() || std::max(size.height(), 1) != surface_.height())
        surface_.resize(size.width(), size.height());
    QWidget::resizeEvent(event);
}

} // namespace zebrix
