#pragma once
#include "EditHistory.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QString>

#include <algorithm>
#include <optional>

namespace zebrix {

// A one-line text field that stays quick however long its text (QLineEdit
// lays out its whole text on every change: most of a second per keystroke
// with a million characters). It keeps the whole text and gives the QLineEdit
// it is only a slice around the cursor, so Qt still paints, scrolls, handles
// input methods, the mouse, drag and drop and the context menu; up to
// kWholeUpTo characters the slice is the whole text. Qt's edits inside the
// slice are found by comparing it before and after, and recorded in this
// field's own undo; near its edges the slice follows the cursor. What reaches
// past it is done here on the whole text (Home, End, select all, undo, the
// clipboard, drops, a selection whose far end lies outside the slice).
// QLineEdit's text functions are not virtual: callers hold a LongLineEdit*.
class LongLineEdit : public QLineEdit {
    Q_OBJECT
public:
    // Texts up to this long are their own slice; past that, the slice's size and
    // how near an edge the cursor comes before it moves.
    static constexpr qsizetype kWholeUpTo = 10000;
    static constexpr qsizetype kSlice = 2000;
    static constexpr qsizetype kMargin = kSlice / 4;

    explicit LongLineEdit(QWidget* parent = nullptr);

    // The whole text; setting it starts a new history, as in a QLineEdit.
    QString text() const { return text_; }
    void setText(const QString& text);
    void clear() { setText(QString()); }
    // The whole text replaced as one step of undo (also by an empty one).
    void replaceAll(const QString& text);
    // The selection (or nothing at the cursor) replaced as one step of undo.
    void insert(const QString& text);

    // Where the slice given to the QLineEdit starts in the text, and its size.
    qsizetype sliceStart() const { return start_; }
    qsizetype sliceSize() const { return slice_.size(); }

    // Cursor and selection, in positions of the whole text.
    int cursorPosition() const { return static_cast<int>(start_) + QLineEdit::cursorPosition(); }
    void setCursorPosition(int position) { selectTo(position, position); }
    int cursorPositionAt(const QPoint& point) { return static_cast<int>(start_) + QLineEdit::cursorPositionAt(point); }
    // The end of the selection the cursor is not at (the cursor when none).
    int anchor() const;
    // Selects from `anchor` to `position`, the cursor at `position`.
    void selectTo(int anchor, int position);
    void setSelection(int start, int length) { selectTo(start, start + length); }
    bool hasSelectedText() const { return anchor() != cursorPosition(); }
    QString selectedText() const;
    int selectionStart() const { return hasSelectedText() ? std::min(anchor(), cursorPosition()) : -1; }
    int selectionEnd() const { return hasSelectedText() ? std::max(anchor(), cursorPosition()) : -1; }
    int selectionLength() const { return selectionEnd() - selectionStart(); }
    void deselect() { setCursorPosition(cursorPosition()); }
    void selectAll() { selectTo(0, static_cast<int>(text_.size())); }
    void home(bool mark) { selectTo(mark ? anchor() : 0, 0); }
    void end(bool mark) { selectTo(mark ? anchor() : static_cast<int>(text_.size()), static_cast<int>(text_.size())); }

    // Undo and redo, the clipboard and deletion of the selection, on the whole text.
    void undo();
    void redo();
    bool isUndoAvailable() const { return !isReadOnly() && history_.canUndo(); }
    bool isRedoAvailable() const { return !isReadOnly() && history_.canRedo(); }
    void copy(QClipboard::Mode mode = QClipboard::Clipboard) const;
    void cut()
    {
        copy();
        removeSelected();
    }
    void paste(QClipboard::Mode mode = QClipboard::Clipboard) { insert(QGuiApplication::clipboard()->text(mode)); }
    void removeSelected() { insert(QString()); }

signals:
    // The whole text, once for each change of it.
    void textChanged(const QString& text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // An edit Qt made inside the slice.
    void sliceEdited();
    // Keeps the cursor and anchor an edit inside the slice starts from.
    void remember();
    // Puts `with` in place of [at, at + length) of the whole text.
    void change(qsizetype at, qsizetype length, const QString& with, bool record);
    // After each event: lets go of a far anchor the slice no longer shows,
    // and moves the slice when the cursor comes near its edge.
    void follow();
    // Whether the slice may stay as it is with the cursor at `position`.
    bool fits(qsizetype position) const;
    // Gives the QLineEdit the slice around `position` with this selection.
    void placeSlice(qsizetype anchor, qsizetype position);

    QString text_;
    QString slice_; // what the QLineEdit holds: text_.mid(start_, slice_.size())
    qsizetype start_ = 0;
    std::optional<qsizetype> farAnchor_; // a selection's end outside the slice
    int cursorBefore_ = 0;
    int anchorBefore_ = 0;
    bool syncing_ = false; // the QLineEdit is being given a slice
    bool composing_ = false; // an input method shows a text not yet committed
    EditHistory history_;
};

} // namespace zebrix
