#include "LongLineEdit.h"

#include "LongLineEditAccessible.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <algorithm>
#include <limits>

namespace zebrix {

LongLineEdit::LongLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    QLineEdit::setMaxLength(std::numeric_limits<int>::max()); // QLineEdit stops at 32767 characters
    UseLongLineEditAccessible(*this);
    connect(this, &QLineEdit::textChanged, this, [this] { sliceEdited(); });
    connect(this, &QLineEdit::cursorPositionChanged, this, [this] { remember(); });
    connect(this, &QLineEdit::selectionChanged, this, [this] { remember(); });
}

void LongLineEdit::setText(const QString& text)
{
    history_.clear(); // set by the program: a new history, as in a QLineEdit
    const bool changed = text != text_;
    text_ = text;
    placeSlice(text.size(), text.size());
    if (changed)
        emit textChanged(text_);
}

void LongLineEdit::replaceAll(const QString& text)
{
    if (!isReadOnly() && text != text_)
        change(0, text_.size(), text, true);
}

void LongLineEdit::insert(const QString& text)
{
    if (!text.isEmpty() || hasSelectedText())
        change(std::min(anchor(), cursorPosition()), selectionLength(), text, true);
}

void LongLineEdit::change(qsizetype at, qsizetype length, const QString& with, bool record)
{
    const QString removed = text_.mid(at, length);
    if (record && removed != with)
        history_.record(at, removed, with, cursorPosition(), anchor());
    text_.replace(at, length, with);
    placeSlice(at + with.size(), at + with.size());
    if (removed != with)
        emit textChanged(text_);
}

void LongLineEdit::sliceEdited()
{
    if (syncing_)
        return;
    const QString now = QLineEdit::text();
    const qsizetype common = std::min(now.size(), slice_.size());
    const qsizetype prefix = std::mismatch(now.begin(), now.begin() + common, slice_.begin()).first - now.begin();
    qsizetype suffix = 0;
    while (suffix < common - prefix && now[now.size() - 1 - suffix] == slice_[slice_.size() - 1 - suffix])
        ++suffix;
    if (prefix == now.size() && prefix == slice_.size())
        return;
    const qsizetype at = start_ + prefix, length = slice_.size() - prefix - suffix;
    const QString inserted = now.mid(prefix, now.size() - prefix - suffix);
    history_.record(at, text_.mid(at, length), inserted, cursorBefore_, anchorBefore_);
    text_.replace(at, length, inserted);
    slice_ = now;
    if (farAnchor_ && *farAnchor_ > at)
        *farAnchor_ += inserted.size() - length;
    emit textChanged(text_);
}

void LongLineEdit::undo()
{
    if (const auto edit = isReadOnly() ? std::nullopt : history_.undo()) {
        change(edit->at, edit->inserted.size(), edit->removed, false);
        selectTo(edit->anchorBefore, edit->cursorBefore);
    }
}

void LongLineEdit::redo()
{
    if (const auto edit = isReadOnly() ? std::nullopt : history_.redo())
        change(edit->at, edit->removed.size(), edit->inserted, false);
}

int LongLineEdit::anchor() const
{
    if (!QLineEdit::hasSelectedText())
        return cursorPosition();
    const int cursor = QLineEdit::cursorPosition(), first = QLineEdit::selectionStart();
    const int anchor = cursor == first ? QLineEdit::selectionEnd() : first;
    // The far anchor stands while the slice's selection runs from the edge on its side.
    if (farAnchor_ && anchor == (*farAnchor_ < start_ ? 0 : slice_.size()))
        return static_cast<int>(*farAnchor_);
    return static_cast<int>(start_) + anchor;
}

QString LongLineEdit::selectedText() const
{
    return hasSelectedText() ? text_.mid(selectionStart(), selectionLength()) : QString();
}

void LongLineEdit::remember()
{
    if (!syncing_) {
        cursorBefore_ = cursorPosition();
        anchorBefore_ = anchor();
    }
}

bool LongLineEdit::fits(qsizetype position) const
{
    const qsizetype n = slice_.size(), size = text_.size(), at = position - start_;
    if (size <= kWholeUpTo)
        return n == size;
    return n <= 2 * kSlice && at >= (start_ > 0 ? kMargin : 0) && at <= (start_ + n < size ? n - kMargin : n);
}

void LongLineEdit::selectTo(int anchor, int position)
{
    const int size = static_cast<int>(text_.size());
    anchor = std::clamp(anchor, 0, size);
    position = std::clamp(position, 0, size);
    if (!fits(position)) {
        placeSlice(anchor, position);
        return;
    }
    syncing_ = true;
    const qsizetype n = slice_.size(), at = position - start_;
    farAnchor_.reset();
    if (anchor < start_ || anchor > start_ + n)
        farAnchor_ = anchor;
    const int from = static_cast<int>(farAnchor_ ? (anchor < start_ ? 0 : n) : anchor - start_);
    if (from == at)
        QLineEdit::setCursorPosition(from);
    else
        QLineEdit::setSelection(from, static_cast<int>(at) - from);
    syncing_ = false;
    remember();
}

void LongLineEdit::placeSlice(qsizetype anchor, qsizetype position)
{
    const qsizetype size = text_.size();
    position = std::clamp<qsizetype>(position, 0, size);
    start_ = size <= kWholeUpTo ? 0 : std::clamp<qsizetype>(position - kSlice / 2, 0, size - kSlice);
    const QString slice = text_.mid(start_, size <= kWholeUpTo ? size : kSlice);
    if (slice != slice_) {
        syncing_ = true;
        QLineEdit::setText(slice);
        slice_ = slice;
        syncing_ = false;
    }
    selectTo(static_cast<int>(anchor), static_cast<int>(position));
}

void LongLineEdit::follow()
{
    if (syncing_ || composing_)
        return;
    if (farAnchor_ && anchor() != *farAnchor_)
        farAnchor_.reset(); // the selection in the slice no longer runs from its edge
    if (!fits(cursorPosition()))
        placeSlice(anchor(), cursorPosition());
}

bool LongLineEdit::event(QEvent* event)
{
    const bool done = QLineEdit::event(event);
    const QEvent::Type type = event->type();
    composing_ = composing_ && type != QEvent::FocusOut; // Qt commits or drops the text being composed
    // After keys, the mouse (press to move), input methods and drops.
    if (type == QEvent::KeyPress || (type >= QEvent::MouseButtonPress && type <= QEvent::MouseMove)
        || type == QEvent::InputMethod || type == QEvent::Drop)
        follow();
    return done;
}

void LongLineEdit::keyPressEvent(QKeyEvent* event)
{
    using Key = QKeySequence;
    const auto is = [event](auto... keys) { return (event->matches(keys) || ...); };
    const bool editable = !isReadOnly(), wide = farAnchor_.has_value();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (is(Key::Undo) && editable)
        undo();
    else if (is(Key::Redo) && editable)
        redo();
    else if (is(Key::SelectAll))
        selectAll();
    else if (is(Key::Copy))
        copy();
    else if (is(Key::Cut) && editable)
        cut();
    else if (is(Key::Paste) && editable)
        paste();
    else if (is(Key::MoveToStartOfLine, Key::MoveToStartOfBlock, Key::SelectStartOfLine, Key::SelectStartOfBlock))
        home(shift);
    else if (is(Key::MoveToEndOfLine, Key::MoveToEndOfBlock, Key::SelectEndOfLine, Key::SelectEndOfBlock))
        end(shift);
    else if (is(Key::DeleteEndOfLine, Key::DeleteCompleteLine) && editable) {
        selectTo(is(Key::DeleteEndOfLine) ? cursorPosition() : 0, static_cast<int>(text_.size()));
        cut();
    } else if (wide && editable && (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete))
        removeSelected();
    else if (wide && editable && !event->text().isEmpty() && event->text().front().isPrint())
        insert(event->text()); // typed over a selection wider than the slice
    else
        return QLineEdit::keyPressEvent(event);
    event->accept();
}

void LongLineEdit::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    // A triple click selects the whole text, not only the slice.
    if (event->button() == Qt::LeftButton && slice_.size() < text_.size()
        && QLineEdit::selectedText().size() == slice_.size())
        selectAll();
}

void LongLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && !isReadOnly() && clipboard->supportsSelection()) {
        // Pastes the selection of the desktop where the button went up.
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        paste(QClipboard::Selection);
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void LongLineEdit::dropEvent(QDropEvent* event)
{
    // Text from elsewhere goes into the whole text (it may be big); a move
    // inside the field stays Qt's.
    if (isReadOnly() || event->source() == this || !event->mimeData()->hasText())
        return QLineEdit::dropEvent(event);
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    insert(event->mimeData()->text());
    event->acceptProposedAction();
}

void LongLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (farAnchor_ && !isReadOnly() && !event->commitString().isEmpty())
        removeSelected(); // the commit replaces the whole selection
    QLineEdit::inputMethodEvent(event);
    composing_ = !event->preeditString().isEmpty();
}

void LongLineEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // Qt's own menu, its entries that reach past the slice done on the whole text.
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool selected = hasSelectedText(), editable = !isReadOnly();
    // An entry is known by its object name where Qt gives one, else by its
    // caption (from the same catalogue as Qt's, the shortcut after a tab).
    const auto rewire = [&](const char* name, const char* caption, bool enabled, auto act) {
        for (QAction* action : menu->actions()) {
            if (action->objectName() != QLatin1String(name)
                && action->text().section(QLatin1Char('\t'), 0, 0) != QLineEdit::tr(caption))
                continue;
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, act);
            action->setEnabled(enabled);
        }
    };
    rewire("edit-undo", "&Undo", isUndoAvailable(), [this] { undo(); });
    rewire("edit-redo", "&Redo", isRedoAvailable(), [this] { redo(); });
    rewire("edit-cut", "Cu&t", editable && selected, [this] { cut(); });
    rewire("edit-copy", "&Copy", selected, [this] { copy(); });
    rewire("edit-paste", "&Paste", editable && !QGuiApplication::clipboard()->text().isEmpty(), [this] { paste(); });
    rewire("edit-delete", "Delete", editable && selected, [this] { removeSelected(); });
    rewire("select-all", "Select All", !text_.isEmpty() && selectionLength() != text_.size(), [this] { selectAll(); });
    menu->popup(event->globalPos());
}

void LongLineEdit::copy(QClipboard::Mode mode) const
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText(), mode);
}

} // namespace zebrix
