#pragma once
#include "EditHistory.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QString>

#include <algorithm>
#include <optional>

namespace zebrix {

// A one-line text field that stays quick however long its text. QLineEdit
// lays out its whole text on every change: with a million characters a
// keystroke costs most of a second. This field keeps the whole text itself
// and gives the QLineEdit it is only a slice of it around the cursor, so Qt
// still paints, scrolls, handles input methods, the mouse, drag and drop
// and the context menu. Up to kWholeUpTo characters the slice is the whole
// text and the field is a plain QLineEdit.
//
// An edit that Qt makes inside the slice is found by comparing the slice
// before and after, applied to the whole text and recorded as one step of
// this field's own undo (EditHistory). Near its edges the slice moves to
// follow the cursor. What reaches past the slice is done on the whole text
// here: Home and End, select all, undo and redo, the clipboard, paste and
// drops, and a selection whose far end lies outside the slice (that end is
// kept here; the slice shows its own part selected).
//
// QLineEdit's text and selection functions are not virtual: this class
// hides them with whole-text ones, so callers hold a LongLineEdit*.
class LongLineEdit : public QLineEdit {
    Q_OBJECT
public:
    // Texts up to this long are their own slice.
    static constexpr qsizetype kWholeUpTo = 10000;
    // The slice's size past that, and how near an edge the cursor may come
    // before the slice moves.
    static constexpr qsizetype kSlice = 2000;
    static constexpr qsizetype kMargin = kSlice / 4;

    explicit LongLineEdit(QWidget* parent = nullptr);

    // The whole text; setting it starts a new history, as in a QLineEdit.
    QString text() const { return text_; }
    void setText(const QString& text);
    void clear() { setText(QString()); }
    // Puts a text in place of the whole text, as one step of undo (also when
    // the text put in is empty); nothing when it is the same text.
    void replaceAll(const QString& text);
    // Puts a text in place of the selection (at the cursor when none), as one
    // step of undo.
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
