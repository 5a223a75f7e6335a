#pragma once
// How a LongLineEdit shows its text and maps events onto it: as a plain
// QLineEdit does (PlainLineView), or through a window of a few hundred
// characters around the cursor (WindowedLineView). The field picks one when
// its text crosses the limit and hands it the events below.
#include <QRect>
#include <QVariant>

class QDragMoveEvent;
class QDropEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QPoint;
class QTimerEvent;

namespace zebrix {

class LongLineEdit;

class LineView {
public:
    virtual ~LineView() = default;

    virtual void paint(QPaintEvent* event) = 0;
    // Keys other than undo, redo and paste, which the field handles itself.
    virtual void keyPress(QKeyEvent* event) = 0;
    virtual void mousePress(QMouseEvent* event) = 0;
    virtual void mouseMove(QMouseEvent* event) = 0;
    // Buttons other than the middle one's paste, which the field handles itself.
    virtual void mouseRelease(QMouseEvent* event) = 0;
    virtual void mouseDoubleClick(QMouseEvent* event) = 0;
    virtual void dragMove(QDragMoveEvent* event) = 0;
    virtual void drop(QDropEvent* event) = 0;
    virtual void inputMethod(QInputMethodEvent* event) = 0;
    virtual QVariant inputMethodQuery(Qt::InputMethodQuery query) const = 0;
    virtual int positionAt(const QPoint& point) const = 0;
    virtual QRect characterRect(int position) const = 0;

    // The cursor or the selection moved.
    virtual void selectionMoved() { }
    // The cursor is shown again from now (a key, a click, the focus).
    virtual void restartBlink() { }
    // True when the timer event was the view's own.
    virtual bool timer(QTimerEvent*) { return false; }
};

// The text as QLineEdit shows it: every event goes to the base class, and a
// drop or an input method's text that makes the text long goes to the
// windowed view instead.
class PlainLineView : public LineView {
public:
    explicit PlainLineView(LongLineEdit& edit)
        : edit_(edit)
    {
    }

    void paint(QPaintEvent* event) override;
    void keyPress(QKeyEvent* event) override;
    void mousePress(QMouseEvent* event) override;
    void mouseMove(QMouseEvent* event) override;
    void mouseRelease(QMouseEvent* event) override;
    void mouseDoubleClick(QMouseEvent* event) override;
    void dragMove(QDragMoveEvent* event) override;
    void drop(QDropEvent* event) override;
    void inputMethod(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    int positionAt(const QPoint& point) const override;
    QRect characterRect(int position) const override;

private:
    LongLineEdit& edit_;
};

} // namespace zebrix
