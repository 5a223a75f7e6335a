#include "WindowColours.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

namespace zebrix {

namespace {

// The application's style but for the focus mark.
class FocusMarkStyle : public QProxyStyle {
public:
    void drawPrimitive(
        PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const override
    {
        if (element != PE_FrameFocusRect) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        if (!(option->state & State_KeyboardFocusChange))
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(option->palette.color(QPalette::WindowText), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

} // namespace

QPalette BlackPalette(const QPalette& base)
{
    QPalette p = base;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Window, Qt::black);
        p.setColor(group, QPalette::WindowText, group == QPalette::Disabled ? QColor(128, 128, 128) : Qt::white);
    }
    return p;
}

void KeepSystemColours(QWidget* widget)
{
    QPalette p = QApplication::palette(widget);
    p.setResolveMask(~QPalette::ResolveMask(0));
    widget->setPalette(p);
}

void ShowFocusMarkInTextColour(QWidget* box)
{
    // Owned by the box: deleted after the box's own destructor, which still uses it.
    auto* style = new FocusMarkStyle;
    style->setParent(box);
    box->setStyle(style);
}

} // namespace zebrix
