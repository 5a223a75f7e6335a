#include "LineView.h"

#include "LongLineEdit.h"

#include <QDropEvent>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QMimeData>

#include <algorithm>

namespace zebrix {

void PlainLineView::paint(QPaintEvent* event) { edit_.QLineEdit::paintEvent(event); }
void PlainLineView::keyPress(QKeyEvent* event) { edit_.QLineEdit::keyPressEvent(event); }
void PlainLineView::mousePress(QMouseEvent* event) { edit_.QLineEdit::mousePressEvent(event); }
void PlainLineView::mouseMove(QMouseEvent* event) { edit_.QLineEdit::mouseMoveEvent(event); }
void PlainLineView::mouseRelease(QMouseEvent* event) { edit_.QLineEdit::mouseReleaseEvent(event); }
void PlainLineView::mouseDoubleClick(QMouseEvent* event) { edit_.QLineEdit::mouseDoubleClickEvent(event); }
void PlainLineView::dragMove(QDragMoveEvent* event) { edit_.QLineEdit::dragMoveEvent(event); }

void PlainLineView::drop(QDropEvent* event)
{
    const qsizetype dropped = event->mimeData()->hasText() ? event->mimeData()->text().size() : 0;
    edit_.prepareFor(edit_.QLineEdit::text().size() + dropped);
    if (edit_.isWindowed())
        edit_.view_->drop(event);
    else
        edit_.QLineEdit::dropEvent(event);
}

void PlainLineView::inputMethod(QInputMethodEvent* event)
{
    if (const qsizetype added = event->commitString().size(); added > 0)
        edit_.prepareFor(edit_.QLineEdit::text().size() + added);
    if (edit_.isWindowed())
        edit_.view_->inputMethod(event);
    else
        edit_.QLineEdit::inputMethodEvent(event);
}

QVariant PlainLineView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    return edit_.QLineEdit::inputMethodQuery(query);
}

int PlainLineView::positionAt(const QPoint& point) const { return edit_.cursorPositionAt(point); }

QRect PlainLineView::characterRect(int position) const
{
    const QString t = edit_.QLineEdit::text();
    if (position < 0 || position > t.size())
        return {};
    // The base class keeps its scrolling to itself: place the character
    // from where it puts the cursor.
    const QRect line = edit_.lineRect();
    const QFontMetricsF metrics(edit_.font());
    const qreal cursorX = edit_.cursorRect().center().x() - metrics.horizontalAdvance(t.left(edit_.cursorPosition()));
    const qreal left = cursorX + metrics.horizontalAdvance(t.left(position));
    const qreal width = position < t.size() ? metrics.horizontalAdvance(t.mid(position, 1)) : 1;
    return QRect(qRound(left), line.top(), std::max(1, qRound(width)), line.height());
}

} // namespace zebrix
