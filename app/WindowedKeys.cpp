#include "WindowedKeys.h"

#include "LineText.h"
#include "LongLineEdit.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace zebrix {

namespace {

// With a selection, an arrow key goes to the selection's end on some desktops
// and moves one character from the cursor on others. QLineEdit knows which
// (its platform's keyboard scheme is not public): ask it once.
bool ArrowsGoToSelectionEnds()
{
    static const bool ends = [] {
        QLineEdit probe;
        probe.setText(QStringLiteral("abc"));
        probe.setSelection(2, -2); // "ab" selected, cursor at 0
        const QKeySequence right = QKeySequence::keyBindings(QKeySequence::MoveToNextChar).value(0);
        if (right.isEmpty())
            return false;
        QKeyEvent key(QEvent::KeyPress, right[0].key(), right[0].keyboardModifiers());
        QCoreApplication::sendEvent(&probe, &key);
        return probe.cursorPosition() == 2;
    }();
    return ends;
}

// The keys whose base-class handling needs the laid-out text, or that would
// refuse to copy from a field that shows nothing.
bool MovementOrDeletionKey(LongLineEdit& e, QKeyEvent* event)
{
    const QString t = e.QLineEdit::text();
    const bool rtl = e.layoutDirection() == Qt::RightToLeft;
    const int c = e.cursorPosition();
    const auto forward = [&](int p) { return rtl ? PreviousCharacter(t, p) : NextCharacter(t, p); };
    const auto backward = [&](int p) { return rtl ? NextCharacter(t, p) : PreviousCharacter(t, p); };
    const auto wordForward = [&](int p) { return rtl ? PreviousWord(t, p) : NextWord(t, p); };
    const auto wordBackward = [&](int p) { return rtl ? NextWord(t, p) : PreviousWord(t, p); };
    const bool editable = !e.isReadOnly();
    // Deletes the selection, or from the cursor to `to` when there is none.
    const auto deleteTo = [&](int to) {
        if (!editable)
            return;
        if (!e.hasSelectedText())
            e.selectTo(c, to);
        e.removeSelected();
    };

    if (event->matches(QKeySequence::MoveToNextChar)) {
        if (e.hasSelectedText() && ArrowsGoToSelectionEnds())
            e.setCursorPosition(rtl ? e.selectionStart() : e.selectionEnd());
        else
            e.setCursorPosition(forward(c));
    } else if (event->matches(QKeySequence::MoveToPreviousChar)) {
        if (e.hasSelectedText() && ArrowsGoToSelectionEnds())
            e.setCursorPosition(rtl ? e.selectionEnd() : e.selectionStart());
        else
            e.setCursorPosition(backward(c));
    } else if (event->matches(QKeySequence::SelectNextChar)) {
        e.selectTo(e.anchor(), forward(c));
    } else if (event->matches(QKeySequence::SelectPreviousChar)) {
        e.selectTo(e.anchor(), backward(c));
    } else if (event->matches(QKeySequence::MoveToNextWord)) {
        e.setCursorPosition(wordForward(c));
    } else if (event->matches(QKeySequence::MoveToPreviousWord)) {
        e.setCursorPosition(wordBackward(c));
    } else if (event->matches(QKeySequence::SelectNextWord)) {
        e.selectTo(e.anchor(), wordForward(c));
    } else if (event->matches(QKeySequence::SelectPreviousWord)) {
        e.selectTo(e.anchor(), wordBackward(c));
    } else if (event->matches(QKeySequence::Delete)) {
        deleteTo(NextCharacter(t, c));
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        deleteTo(NextWord(t, c));
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        deleteTo(PreviousWord(t, c));
    } else if (event->matches(QKeySequence::DeleteEndOfLine)) {
        if (editable) {
            e.selectTo(c, static_cast<int>(t.size()));
            e.cutSelection();
        }
    } else if (event->matches(QKeySequence::DeleteCompleteLine)) {
        if (editable) {
            e.selectAll();
            e.cutSelection();
        }
    } else if (event->matches(QKeySequence::Copy)) {
        e.copySelection();
    } else if (event->matches(QKeySequence::Cut)) {
        e.cutSelection();
    } else {
        return false;
    }
    return true;
}

// Backspace or a typed character over a big selection.
bool BigSelectionKey(LongLineEdit& e, QKeyEvent* event)
{
    if (e.isReadOnly() || !e.hasSelectedText() || e.selectedText().size() <= LongLineEdit::kBigEdit)
        return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (event->key() == Qt::Key_Backspace) {
        e.removeSelected();
        return true;
    }
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.front().isPrint())
        return false;
    e.pasteText(typed);
    return true;
}

} // namespace

bool WindowedKey(LongLineEdit& edit, QKeyEvent* event)
{
    return MovementOrDeletionKey(edit, event) || BigSelectionKey(edit, event);
}

} // namespace zebrix
