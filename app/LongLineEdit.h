#pragma once
#include "EditHistory.h"

#include <QClipboard>
#include <QLineEdit>
#include <QString>

#include <memory>

namespace zebrix {

class LineView;
class PlainLineView;
class WindowedLineView;

// A QLineEdit that stays quick however long its text. QLineEdit lays out its
// whole text on every change and every repaint: with a million characters a
// keystroke costs half a second. Up to kWindowedFrom characters this is a
// plain QLineEdit. Past that, the base class still holds the text and does
// the editing and the signals, but it is told to show nothing (so it lays
// out nothing), and a windowed view draws the few hundred characters around
// the cursor itself, maps the mouse onto them, and moves the cursor by
// characters and words on its own. Either way text(), setText(),
// textChanged() and the keyboard behave as in any QLineEdit.
//
// The view is chosen when the text crosses the limit (PlainLineView or
// WindowedLineView, see LineView.h); the event handlers hand their events to
// it. Undo and redo are this class's own in both states (EditHistory): the
// base class's undo would empty the whole field in the windowed state.
// Screen readers get the whole text through LongLineEditAccessible.
class LongLineEdit : public QLineEdit {
public:
    // Texts longer than this are shown through a window of their own.
    static constexpr qsizetype kWindowedFrom = 10000;
    // Edits bigger than this (characters put in or taken out) are made by
    // setting the whole text: QLineEdit's own undo log, unused here, would
    // take some twenty bytes per character for them.
    static constexpr qsizetype kBigEdit = 1024;

    explicit LongLineEdit(QWidget* parent = nullptr);
    ~LongLineEdit() override;

    // setText() that goes to the windowed display first when the new text is
    // long (setText() alone lays a long text out once before it switches).
    void setLongText(const QString& text);

    bool isWindowed() const;
    // First character shown (0 unless windowed).
    qsizetype firstShown() const;

    // Undo and redo, as Ctrl+Z / Ctrl+Y and the context menu do them.
    void undoEdit();
    void redoEdit();
    bool canUndo() const { return !isReadOnly() && history_.canUndo(); }
    bool canRedo() const { return !isReadOnly() && history_.canRedo(); }

    // Clipboard commands that work in both states.
    void copySelection(QClipboard::Mode mode = QClipboard::Clipboard) const;
    void cutSelection();
    void pasteFrom(QClipboard::Mode mode = QClipboard::Clipboard);
    // Puts a text in place of the selection (at the cursor when none), as a
    // paste does: one step of undo.
    void pasteText(const QString& text);
    // Deletes the selection, as one step of undo.
    void removeSelected();
    // Puts a text in place of the whole text, as one step of undo (also when
    // the text put in is empty); nothing when it is the same text.
    void replaceAll(const QString& text);

    // The end of the selection the cursor is not at (the cursor when none).
    int anchor() const;
    // Selects from `anchor` to `position`, the cursor at `position`.
    void selectTo(int anchor, int position);

    // Geometry in widget coordinates: the cursor position nearest to a point,
    // and the rectangle of one character (empty when it is not shown).
    int positionAt(const QPoint& point) const;
    QRect characterRect(int position) const;

    // Windowed, input methods get the text near the cursor only.
    using QLineEdit::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // The views work on the field through its base class and the helpers below.
    friend class PlainLineView;
    friend class WindowedLineView;

    void onTextEdited();
    void onTextChanged(const QString& text);
    void onSelectionMoved();
    // Puts `with` in place of [at, at + length), as one edit of the user's.
    void change(qsizetype at, qsizetype length, const QString& with);
    // The same for undo and redo: not recorded.
    void replace(qsizetype at, qsizetype length, const QString& with);
    // Sets the whole text as an edit of the user's, the cursor at `cursor`.
    void setEditedText(const QString& text, qsizetype cursor);

    // Goes to the windowed display when a text of this length is coming.
    void prepareFor(qsizetype length);
    void setWindowed(bool windowed);

    // The rectangle of the text line inside the frame.
    QRect lineRect() const;

    std::unique_ptr<PlainLineView> plainView_;
    std::unique_ptr<WindowedLineView> windowedView_;
    LineView* view_ = nullptr; // one of the two

    // The text and selection as they were before the change being reported.
    QString shadow_;
    int shadowCursor_ = 0;
    int shadowAnchor_ = 0;
    bool userEdit_ = false;
    bool reportingEdit_ = false;
    bool applying_ = false;
    EditHistory history_;
};

} // namespace zebrix
