#pragma once
#include <QBasicTimer>
#include <QClipboard>
#include <QLineEdit>
#include <QString>

#include <deque>
#include <vector>

namespace zebrix {

// A QLineEdit that stays quick however long its text. QLineEdit lays out its
// whole text on every change and every repaint: with a million characters a
// keystroke costs half a second. Up to kWindowedFrom characters this is a
// plain QLineEdit. Past that, the base class still holds the text and does
// the editing and the signals, but it is told to show nothing (so it lays
// out nothing), and this class draws the few hundred characters around the
// cursor itself, maps the mouse onto them, and moves the cursor by
// characters and words on its own. Either way text(), setText(),
// textChanged() and the keyboard behave as in any QLineEdit.
//
// Undo and redo are this class's own in both states: the base class's undo
// would empty the whole field in the windowed state.
class LongLineEdit : public QLineEdit {
public:
    // Texts longer than this are shown through a window of their own.
    static constexpr qsizetype kWindowedFrom = 10000;

    explicit LongLineEdit(QWidget* parent = nullptr);
    ~LongLineEdit() override;

    // setText() that goes to the windowed display first when the new text is
    // long (setText() alone lays a long text out once before it switches).
    void setLongText(const QString& text);

    bool isWindowed() const { return windowed_; }
    // First character shown (0 unless windowed).
    qsizetype firstShown() const { return windowed_ ? viewStart_ : 0; }

    // Undo and redo, as Ctrl+Z / Ctrl+Y and the context menu do them.
    void undoEdit();
    void redoEdit();
    bool canUndo() const { return !isReadOnly() && !undo_.empty(); }
    bool canRedo() const { return !isReadOnly() && !redo_.empty(); }

    // Clipboard commands that work in both states.
    void copySelection(QClipboard::Mode mode = QClipboard::Clipboard) const;
    void cutSelection();
    void pasteFrom(QClipboard::Mode mode = QClipboard::Clipboard);
    // Puts a text in place of the selection (at the cursor when none), as a
    // paste does: one step of undo.
    void pasteText(const QString& text);

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
    struct Edit {
        qsizetype at;
        QString removed;
        QString inserted;
        int cursorBefore;
        int anchorBefore;
        bool typed; // one character typed: joins the typing before it
    };

    void onTextEdited();
    void onTextChanged(const QString& text);
    void onSelectionMoved();
    void record(const QString& before, const QString& after);
    // Puts `with` in place of [at, at + length), as one edit of the user's.
    void change(qsizetype at, qsizetype length, const QString& with);
    void removeSelected();
    // The same for undo and redo: not recorded.
    void replace(qsizetype at, qsizetype length, const QString& with);

    // Goes to the windowed display when a text of this length is coming.
    void prepareFor(qsizetype length);
    void updateState();
    void setWindowed(bool windowed);

    bool windowedKey(QKeyEvent* event);
    bool bigSelectionKey(QKeyEvent* event);
    int anchor() const;
    void selectTo(int anchor, int position);
    int nextCharacter(int position) const;
    int previousCharacter(int position) const;
    int nextWord(int position) const;
    int previousWord(int position) const;

    QRect lineRect() const;
    qsizetype span() const;
    void scrollToCursor();
    void restartBlink();

    bool windowed_ = false;
    qsizetype viewStart_ = 0;
    QString preedit_;
    QBasicTimer blink_;
    bool blinkOn_ = true;
    bool selecting_ = false;
    int mouseAnchor_ = 0;

    // The text and selection as they were before the change being reported.
    QString shadow_;
    int shadowCursor_ = 0;
    int shadowAnchor_ = 0;
    bool userEdit_ = false;
    bool reportingEdit_ = false;
    bool applying_ = false;
    std::deque<Edit> undo_;
    std::vector<Edit> redo_;
    qsizetype historySize_ = 0; // characters held by both
};

} // namespace zebrix
