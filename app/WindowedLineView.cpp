#include "WindowedLineView.h"

#include "LineText.h"
#include "LongLineEdit.h"
#include "WindowedKeys.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>

#include <algorithm>
#include <cmath>

namespace zebrix {

namespace {

// Text handed to input methods on each side of the cursor.
constexpr qsizetype kInputMethodContext = 256;

QElapsedTimer& TripleClickTimer()
{
    static QElapsedTimer timer;
    return timer;
}

} // namespace

void WindowedLineView::reset()
{
    preedit_.clear();
    viewStart_ = 0;
    shift_ = 0;
    blinkOn_ = true;
    blink_.stop();
}

// --- Keys -------------------------------------------------------------------

void WindowedLineView::keyPress(QKeyEvent* event)
{
    if (WindowedKey(edit_, event))
        event->accept();
    else
        edit_.QLineEdit::keyPressEvent(event);
}

// --- Geometry and painting ----------------------------------------------------

// Enough characters to fill the line even if each were a pixel wide, plus
// slack for marks that take no width.
qsizetype WindowedLineView::span() const
{
    return 4 * static_cast<qsizetype>(std::max(edit_.lineRect().width(), 0)) + 256;
}

qreal WindowedLineView::room() const
{
    QStyleOptionFrame panel;
    edit_.initStyleOption(&panel);
    return edit_.lineRect().width() - edit_.style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, &edit_);
}

void WindowedLineView::scrollToCursor()
{
    LongLineEdit& e = edit_;
    const QString t = e.QLineEdit::text();
    const qsizetype n = t.size();
    const qsizetype c = e.cursorPosition();
    const qsizetype reach = span();
    const qreal room = this->room();

    viewStart_ = std::clamp<qsizetype>(viewStart_, 0, n);
    if (c < viewStart_)
        viewStart_ = c;
    if (c - viewStart_ > reach)
        viewStart_ = c - reach;
    if (HasRightToLeft(QStringView(t).sliced(viewStart_, c - viewStart_))) {
        // Places on the line say nothing of the order here: go by widths.
        if (LinePiece(t, viewStart_, c, e).advance() > room)
            viewStart_ = FirstStartFitting(t, viewStart_, c, room, e);
    } else {
        // The cursor past the right edge: start further on.
        const LinePiece before(t, viewStart_, c, e);
        const qreal over = before.x(c) - room;
        if (over > 0) {
            qsizetype s = std::max(viewStart_, before.indexAt(over));
            while (s < c && before.x(s) < over)
                s = std::max(s + 1, before.nextStop(s));
            viewStart_ = std::min(s, c);
        }
    }
    if (viewStart_ > 0 && n - viewStart_ <= reach) {
        // No blank on the right while text lies hidden on the left.
        const qsizetype from = std::max<qsizetype>(0, n - reach);
        if (HasRightToLeft(QStringView(t).sliced(from, n - from))) {
            if (LinePiece(t, viewStart_, n, e).advance() < room)
                viewStart_ = std::min(viewStart_, FirstStartFitting(t, from, n, room, e));
        } else if (const LinePiece tail(t, from, n, e); tail.x(n) - tail.x(viewStart_) < room) {
            const qreal start = std::max<qreal>(0, tail.x(n) - room);
            qsizetype s = std::max(from, tail.indexAt(start));
            while (s < viewStart_ && tail.x(s) < start)
                s = std::max(s + 1, tail.nextStop(s));
            viewStart_ = std::min(viewStart_, s);
        }
    }
    // Never start on the second half of a character or on a mark.
    for (int i = 0; i < kClusterReach && viewStart_ < c && (t[viewStart_].isLowSurrogate() || t[viewStart_].isMark());
         ++i)
        ++viewStart_;
}

void WindowedLineView::paint(QPaintEvent*)
{
    LongLineEdit& e = edit_;
    QPainter painter(&e);
    QStyleOptionFrame panel;
    e.initStyleOption(&panel);
    e.style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, &e);
    const QRect contents
        = e.style()->subElementRect(QStyle::SE_LineEditContents, &panel, &e).marginsRemoved(e.textMargins());
    painter.setClipRect(contents);

    scrollToCursor();
    const QString t = e.QLineEdit::text();
    const qsizetype c = e.cursorPosition();
    const qsizetype to = std::min(t.size(), viewStart_ + span());
    LinePiece piece(t, viewStart_, to, e, preedit_, c);
    shift_ = 0;
    if (HasRightToLeft(QStringView(t).sliced(viewStart_, to - viewStart_))) {
        // The cursor and the piece's start in view when both fit. Otherwise the
        // cursor stands in a right-to-left run that goes on after it, so the
        // text before it lies on its right.
        const qreal cursor = piece.x(c), start = piece.x(viewStart_), room = this->room();
        shift_ = std::abs(cursor - start) <= room ? std::max<qreal>(0, std::max(cursor, start) - room) : cursor;
    }

    QList<QTextLayout::FormatRange> selections;
    if (e.hasSelectedText()) {
        const qsizetype from = std::max<qsizetype>(e.selectionStart(), viewStart_);
        const qsizetype end = std::min<qsizetype>(e.selectionEnd(), to);
        if (from < end) {
            QTextLayout::FormatRange range;
            range.start = static_cast<int>(from - viewStart_);
            range.length = static_cast<int>(end - from);
            range.format.setBackground(e.palette().brush(QPalette::Highlight));
            range.format.setForeground(e.palette().brush(QPalette::HighlightedText));
            selections.append(range);
        }
    }
    const QRect line = e.lineRect();
    const QPointF topLeft(line.left() - shift_, line.top() - (qRound(piece.ascent()) - e.fontMetrics().ascent()));
    painter.setPen(e.palette().color(QPalette::Text));
    piece.layout().draw(&painter, topLeft, selections, contents);
    if (e.hasFocus() && blinkOn_ && !e.isReadOnly() && preedit_.isEmpty())
        piece.layout().drawCursor(&painter, topLeft, static_cast<int>(c - viewStart_),
            e.style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, &e));
}

int WindowedLineView::positionAt(const QPoint& point) const
{
    const QString t = edit_.QLineEdit::text();
    const LinePiece piece(t, viewStart_, std::min(t.size(), viewStart_ + span()), edit_);
    return static_cast<int>(piece.indexAt(point.x() - edit_.lineRect().left() + shift_));
}

QRect WindowedLineView::characterRect(int position) const
{
    const QString t = edit_.QLineEdit::text();
    if (position < 0 || position > t.size())
        return {};
    const QRect line = edit_.lineRect();
    const qsizetype to = std::min(t.size(), viewStart_ + span());
    if (position < viewStart_ || position > to)
        return {};
    const LinePiece piece(t, viewStart_, to, edit_);
    const qreal at = piece.x(position) - shift_;
    const qreal next = position < to ? piece.x(piece.nextStop(position)) - shift_ : at + 1;
    const qreal left = std::min(at, next); // a right-to-left character ends on its left
    return QRect(line.left() + qRound(left), line.top(), std::max(1, qRound(std::max(at, next) - left)), line.height());
}

QRect WindowedLineView::cursorRect(int position) const
{
    const QString t = edit_.QLineEdit::text();
    const QRect line = edit_.lineRect();
    const qsizetype to = std::min(t.size(), viewStart_ + span());
    if (position < viewStart_ || position > to)
        return QRect(line.topLeft(), QSize(1, line.height()));
    const LinePiece piece(t, viewStart_, to, edit_);
    return QRect(line.left() + qRound(piece.x(position) - shift_), line.top(), 1, line.height());
}

// --- Mouse -----------------------------------------------------------------

void WindowedLineView::mousePress(QMouseEvent* event)
{
    LongLineEdit& e = edit_;
    restartBlink();
    if (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton)
        return;
    QElapsedTimer& triple = TripleClickTimer();
    if (event->button() == Qt::LeftButton && triple.isValid()
        && triple.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval()) {
        triple.invalidate();
        e.selectAll();
        return;
    }
    const int position = positionAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
        mouseAnchor_ = e.anchor();
        e.selectTo(mouseAnchor_, position);
    } else {
        mouseAnchor_ = position;
        e.setCursorPosition(position);
    }
    selecting_ = event->button() == Qt::LeftButton;
}

void WindowedLineView::mouseMove(QMouseEvent* event)
{
    if (selecting_ && (event->buttons() & Qt::LeftButton))
        edit_.selectTo(mouseAnchor_, positionAt(event->position().toPoint()));
}

void WindowedLineView::mouseRelease(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        selecting_ = false;
        if (edit_.hasSelectedText() && QGuiApplication::clipboard()->supportsSelection())
            edit_.copySelection(QClipboard::Selection);
    }
}

void WindowedLineView::mouseDoubleClick(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The word under the pointer, without the blanks after it.
    const QString t = edit_.QLineEdit::text();
    const int position = positionAt(event->position().toPoint());
    const int start = PreviousWord(t, NextWord(t, position));
    int end = NextWord(t, start);
    while (end > position && end > start && IsBlank(t[end - 1]))
        --end;
    edit_.selectTo(start, end);
    selecting_ = false;
    TripleClickTimer().start();
}

// --- Drops and input methods ---------------------------------------------------

void WindowedLineView::dragMove(QDragMoveEvent* event)
{
    if (edit_.isReadOnly() || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    edit_.setCursorPosition(positionAt(event->position().toPoint()));
    event->acceptProposedAction();
}

void WindowedLineView::drop(QDropEvent* event)
{
    const QString dropped = event->mimeData()->hasText() ? event->mimeData()->text() : QString();
    if (edit_.isReadOnly() || dropped.isEmpty()) {
        event->ignore();
        return;
    }
    edit_.setCursorPosition(positionAt(event->position().toPoint()));
    edit_.pasteText(dropped);
    event->acceptProposedAction();
}

void WindowedLineView::inputMethod(QInputMethodEvent* event)
{
    LongLineEdit& e = edit_;
    if (e.isReadOnly()) {
        event->ignore();
        return;
    }
    const int n = static_cast<int>(e.QLineEdit::text().size());
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        const int c = e.cursorPosition();
        if (event->replacementLength() > 0) {
            const int from = std::clamp(c + event->replacementStart(), 0, n);
            e.setSelection(from, std::min(event->replacementLength(), n - from));
        }
        e.pasteText(event->commitString());
    }
    for (const QInputMethodEvent::Attribute& a : event->attributes()) {
        if (a.type == QInputMethodEvent::Selection) {
            const int size = static_cast<int>(e.QLineEdit::text().size());
            const int start = std::clamp(a.start, 0, size);
            e.selectTo(start, std::clamp(start + a.length, 0, size));
        }
    }
    preedit_ = event->preeditString();
    e.update();
    event->accept();
}

QVariant WindowedLineView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const QString t = edit_.QLineEdit::text();
    const qsizetype c = edit_.cursorPosition();
    // Input methods get the text near the cursor, not a megabyte at each keystroke.
    const qsizetype from = std::max<qsizetype>(0, c - kInputMethodContext);
    const qsizetype to = std::min(t.size(), c + kInputMethodContext);
    switch (query) {
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
        return cursorRect(query == Qt::ImCursorRectangle ? static_cast<int>(c) : edit_.anchor());
    case Qt::ImSurroundingText: return t.mid(from, to - from);
    case Qt::ImCursorPosition: return static_cast<int>(c - from);
    case Qt::ImAnchorPosition: return static_cast<int>(std::clamp<qsizetype>(edit_.anchor(), from, to) - from);
    case Qt::ImTextBeforeCursor: return t.mid(from, c - from);
    case Qt::ImTextAfterCursor: return t.mid(c, to - c);
    default: return edit_.QLineEdit::inputMethodQuery(query);
    }
}

// --- The cursor's blinking ------------------------------------------------------

void WindowedLineView::selectionMoved() { edit_.update(); }

void WindowedLineView::restartBlink()
{
    blinkOn_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (edit_.hasFocus() && flash >= 2)
        blink_.start(flash / 2, &edit_);
    else
        blink_.stop();
    edit_.update();
}

bool WindowedLineView::timer(QTimerEvent* event)
{
    if (event->timerId() != blink_.timerId())
        return false;
    blinkOn_ = !blinkOn_;
    edit_.update();
    return true;
}

} // namespace zebrix
