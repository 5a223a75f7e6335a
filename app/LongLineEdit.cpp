#include "LongLineEdit.h"

#include "LineView.h"
#include "LongLineEditAccessible.h"
#include "WindowedLineView.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>

#include <limits>

namespace zebrix {

namespace {

// QLineEdit's own spacing inside the frame, in pixels.
constexpr int kHorizontalMargin = 2;

} // namespace

LongLineEdit::LongLineEdit(QWidget* parent)
    : QLineEdit(parent)
    , plainView_(std::make_unique<PlainLineView>(*this))
    , windowedView_(std::make_unique<WindowedLineView>(*this))
    , view_(plainView_.get())
{
    setMaxLength(std::numeric_limits<int>::max()); // QLineEdit stops at 32767 characters
    UseLongLineEditAccessible(*this);

    // Connected before anyone else: the state follows the text before others see it.
    connect(this, &QLineEdit::textEdited, this, [this] { onTextEdited(); });
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { onTextChanged(text); });
    connect(this, &QLineEdit::cursorPositionChanged, this, [this] { onSelectionMoved(); });
    connect(this, &QLineEdit::selectionChanged, this, [this] { onSelectionMoved(); });
}

LongLineEdit::~LongLineEdit() = default;

bool LongLineEdit::isWindowed() const { return view_ == windowedView_.get(); }

qsizetype LongLineEdit::firstShown() const { return isWindowed() ? windowedView_->firstShown() : 0; }

void LongLineEdit::setLongText(const QString& text)
{
    prepareFor(text.size());
    setText(text);
}

// --- Editing ---------------------------------------------------------------

void LongLineEdit::pasteText(const QString& text)
{
    if (isReadOnly() || (text.isEmpty() && !hasSelectedText()))
        return;
    const int at = hasSelectedText() ? selectionStart() : cursorPosition();
    change(at, selectedText().size(), text);
}

void LongLineEdit::removeSelected()
{
    if (!isReadOnly() && hasSelectedText())
        change(selectionStart(), selectedText().size(), QString());
}

void LongLineEdit::change(qsizetype at, qsizetype length, const QString& with)
{
    const QString now = QLineEdit::text();
    prepareFor(now.size() - length + with.size());
    if (length <= kBigEdit && with.size() <= kBigEdit) {
        if (length > 0)
            setSelection(static_cast<int>(at), static_cast<int>(length));
        else
            setCursorPosition(static_cast<int>(at));
        insert(with);
        return;
    }
    QString changed = now;
    changed.replace(at, length, with);
    setEditedText(changed, at + with.size());
}

void LongLineEdit::replaceAll(const QString& text)
{
    if (isReadOnly() || text == QLineEdit::text())
        return;
    prepareFor(text.size());
    setEditedText(text, text.size());
}

void LongLineEdit::setEditedText(const QString& text, qsizetype cursor)
{
    userEdit_ = true;
    setText(text);
    setCursorPosition(static_cast<int>(cursor));
    // setText() reports no edit; this was one.
    reportingEdit_ = true;
    emit textEdited(text);
    reportingEdit_ = false;
}

void LongLineEdit::replace(qsizetype at, qsizetype length, const QString& with)
{
    applying_ = true;
    change(at, length, with);
    applying_ = false;
}

// --- History -----------------------------------------------------------------

void LongLineEdit::onTextEdited()
{
    if (!reportingEdit_)
        userEdit_ = true;
}

void LongLineEdit::onTextChanged(const QString& text)
{
    if (!applying_) {
        if (userEdit_)
            history_.record(shadow_, text, shadowCursor_, shadowAnchor_);
        else
            history_.clear(); // set by the program: a new history, as QLineEdit::setText() does
    }
    userEdit_ = false;
    shadow_ = text;
    setWindowed(QLineEdit::text().size() > kWindowedFrom);
    update();
}

void LongLineEdit::onSelectionMoved()
{
    shadowCursor_ = cursorPosition();
    shadowAnchor_ = anchor();
    view_->selectionMoved();
}

void LongLineEdit::undoEdit()
{
    if (isReadOnly())
        return;
    if (const auto edit = history_.undo()) {
        replace(edit->at, edit->inserted.size(), edit->removed);
        selectTo(edit->anchorBefore, edit->cursorBefore);
    }
}

void LongLineEdit::redoEdit()
{
    if (isReadOnly())
        return;
    if (const auto edit = history_.redo())
        replace(edit->at, edit->removed.size(), edit->inserted);
}

// --- State -------------------------------------------------------------------

void LongLineEdit::prepareFor(qsizetype length)
{
    if (length > kWindowedFrom)
        setWindowed(true);
}

void LongLineEdit::setWindowed(bool windowed)
{
    if (windowed == isWindowed())
        return;
    view_ = windowed ? static_cast<LineView*>(windowedView_.get()) : plainView_.get();
    // Only the display changes: the hints and the input method stay those of
    // an ordinary text field (not those of a hidden password).
    const Qt::InputMethodHints hints = inputMethodHints();
    const bool inputMethod = testAttribute(Qt::WA_InputMethodEnabled);
    setEchoMode(windowed ? QLineEdit::NoEcho : QLineEdit::Normal);
    setInputMethodHints(hints);
    setAttribute(Qt::WA_InputMethodEnabled, inputMethod);
    windowedView_->reset();
    view_->restartBlink();
    update();
}

// --- Clipboard ---------------------------------------------------------------

void LongLineEdit::copySelection(QClipboard::Mode mode) const
{
    const QString selected = selectedText();
    if (!selected.isEmpty())
        QGuiApplication::clipboard()->setText(selected, mode);
}

void LongLineEdit::cutSelection()
{
    if (isReadOnly() || !hasSelectedText())
        return;
    copySelection();
    removeSelected();
}

void LongLineEdit::pasteFrom(QClipboard::Mode mode) { pasteText(QGuiApplication::clipboard()->text(mode)); }

// --- Cursor and geometry -------------------------------------------------------

int LongLineEdit::anchor() const
{
    if (!hasSelectedText())
        return cursorPosition();
    return cursorPosition() == selectionStart() ? selectionEnd() : selectionStart();
}

void LongLineEdit::selectTo(int anchor, int position)
{
    if (position == anchor)
        setCursorPosition(position);
    else
        setSelection(anchor, position - anchor);
}

QRect LongLineEdit::lineRect() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    const int height = fontMetrics().height();
    const int top = r.y() + (r.height() - height + 1) / 2; // centred, as QLineEdit places its line
    return QRect(r.x() + kHorizontalMargin, top, r.width() - 2 * kHorizontalMargin, height);
}

int LongLineEdit::positionAt(const QPoint& point) const { return view_->positionAt(point); }
QRect LongLineEdit::characterRect(int position) const { return view_->characterRect(position); }
QVariant LongLineEdit::inputMethodQuery(Qt::InputMethodQuery query) const { return view_->inputMethodQuery(query); }

// --- Events: the view's, but for the keys and buttons every state shares ---------

void LongLineEdit::paintEvent(QPaintEvent* event) { view_->paint(event); }
void LongLineEdit::mousePressEvent(QMouseEvent* event) { view_->mousePress(event); }
void LongLineEdit::mouseMoveEvent(QMouseEvent* event) { view_->mouseMove(event); }
void LongLineEdit::mouseDoubleClickEvent(QMouseEvent* event) { view_->mouseDoubleClick(event); }
void LongLineEdit::dragMoveEvent(QDragMoveEvent* event) { view_->dragMove(event); }
void LongLineEdit::dropEvent(QDropEvent* event) { view_->drop(event); }
void LongLineEdit::inputMethodEvent(QInputMethodEvent* event) { view_->inputMethod(event); }

void LongLineEdit::keyPressEvent(QKeyEvent* event)
{
    view_->restartBlink();
    if (event->matches(QKeySequence::Undo)) {
        undoEdit();
    } else if (event->matches(QKeySequence::Redo)) {
        redoEdit();
    } else if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
        pasteFrom(QClipboard::Clipboard);
    } else {
        view_->keyPress(event);
        return;
    }
    event->accept();
}

void LongLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && !isReadOnly() && clipboard->supportsSelection()) {
        // Pastes the selection of the desktop where the button went up.
        const QString text = clipboard->text(QClipboard::Selection);
        setCursorPosition(positionAt(event->position().toPoint()));
        pasteText(text);
        return;
    }
    view_->mouseRelease(event);
}

void LongLineEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // The usual entries, wired to this class's undo and clipboard commands.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool showKeys = QGuiApplication::styleHints()->showShortcutsInContextMenus();
    const auto add = [&](const char* caption, QKeySequence::StandardKey key, bool enabled, auto slot) {
        QString label = QLineEdit::tr(caption);
        if (showKeys && key != QKeySequence::UnknownKey)
            label += QLatin1Char('\t') + QKeySequence(key).toString(QKeySequence::NativeText);
        QAction* action = menu->addAction(label, this, slot);
        action->setEnabled(enabled);
    };
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText();
    const QString t = QLineEdit::text();
    add("&Undo", QKeySequence::Undo, canUndo(), [this] { undoEdit(); });
    add("&Redo", QKeySequence::Redo, canRedo(), [this] { redoEdit(); });
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, editable && selected, [this] { cutSelection(); });
    add("&Copy", QKeySequence::Copy, selected, [this] { copySelection(); });
    add("&Paste", QKeySequence::Paste, editable && !QGuiApplication::clipboard()->text().isEmpty(),
        [this] { pasteFrom(QClipboard::Clipboard); });
    add("Delete", QKeySequence::UnknownKey, editable && selected, [this] { removeSelected(); });
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll, !t.isEmpty() && selectedText().size() != t.size(),
        [this] { selectAll(); });
    menu->popup(event->globalPos());
}

// --- Focus and the cursor's blinking ---------------------------------------------

void LongLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    view_->restartBlink();
}

void LongLineEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    view_->restartBlink();
}

void LongLineEdit::timerEvent(QTimerEvent* event)
{
    if (!windowedView_->timer(event))
        QLineEdit::timerEvent(event);
}

} // namespace zebrix
