#pragma once
#include "LineView.h"

#include <QBasicTimer>
#include <QString>

namespace zebrix {

// A long text shown through a window: the base class holds the text but is
// told to show nothing, and this view draws the few hundred characters
// around the cursor, maps the mouse, drops and input methods onto them, and
// takes the keys whose base-class handling would lay out the whole text
// (WindowedKeys.h).
class WindowedLineView : public LineView {
public:
    explicit WindowedLineView(LongLineEdit& edit)
        : edit_(edit)
    {
    }

    // Starts afresh: first character shown 0, no pre-edit text, no blinking.
    void reset();
    qsizetype firstShown() const { return viewStart_; }

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
    void selectionMoved() override;
    void restartBlink() override;
    bool timer(QTimerEvent* event) override;

private:
    // Enough characters to fill the line even if each were a pixel wide.
    qsizetype span() const;
    // The width the text can take with the cursor still whole in view.
    qreal room() const;
    // Moves the window so that the cursor is in view.
    void scrollToCursor();
    // Where the cursor stands before `position`: one pixel wide, at the line's
    // start when that is out of the piece shown.
    QRect cursorRect(int position) const;

    LongLineEdit& edit_;
    qsizetype viewStart_ = 0;
    // How far the shown piece is drawn left of the line's start, so that the
    // cursor stays in view where right-to-left text reorders the piece.
    qreal shift_ = 0;
    QString preedit_;
    QBasicTimer blink_;
    bool blinkOn_ = true;
    bool selecting_ = false;
    int mouseAnchor_ = 0;
};

} // namespace zebrix
