#include "LongLineEdit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <limits>
#include <memory>

namespace zebrix {

namespace {

// QLineEdit's own spacing inside the frame, in pixels.
constexpr int kHorizontalMargin = 2;
// A character is at most this many UTF-16 units away from the next place the
// cursor can stop (longer clusters are split).
constexpr qsizetype kClusterReach = 64;
// Text handed to input methods on each side of the cursor.
constexpr qsizetype kInputMethodContext = 256;
// Edits bigger than this (characters put in or taken out) are made by
// setting the whole text: QLineEdit's own undo log, unused here, would take
// some twenty bytes per character for them.
constexpr qsizetype kBigEdit = 1024;
// Characters that undo and redo keep at most, all entries together (the
// latest entry is kept whatever its size).
constexpr qsizetype kHistoryCharacters = qsizetype{8} << 20;

// What QLineEdit shows for a character: controls and line separators as
// blanks, so that the line stays one line.
QString DisplayText(QStringView text)
{
    QString s = text.toString();
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t') || u == 0x2028 || u == 0x2029 || u == 0xFFFC)
            c = QLatin1Char(' ');
    }
    return s;
}

bool IsBlank(QChar c) { return c.isSpace() || c.unicode() < 0x20; }

// The characters that end a word for Ctrl+arrows, as in QLineEdit.
bool IsWordSeparator(QChar c)
{
    switch (c.unicode()) {
    case '.': case ',': case '?': case '!': case '@': case '#': case '$': case ':': case ';': case '-':
    case '<': case '>': case '[': case ']': case '(': case ')': case '{': case '}': case '=': case '/':
    case '+': case '%': case '&': case '^': case '*': case '\'': case '"': case '`': case '~': case '|':
    case '\\':
        return true;
    default:
        return false;
    }
}

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

// A piece of the text [from, to) laid out on one line.
class Piece {
public:
    Piece(const QString& text, qsizetype from, qsizetype to, const QWidget& widget, const QString& preedit = {},
          qsizetype preeditAt = -1)
        : layout_(DisplayText(QStringView(text).mid(from, to - from)), widget.font(), &widget)
        , from_(from)
    {
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        option.setFlags(QTextOption::IncludeTrailingSpaces);
        option.setTextDirection(widget.layoutDirection());
        layout_.setTextOption(option);
        if (!preedit.isEmpty() && preeditAt >= from && preeditAt <= to)
            layout_.setPreeditArea(static_cast<int>(preeditAt - from), preedit);
        layout_.beginLayout();
        line_ = layout_.createLine();
        layout_.endLayout();
    }

    qreal x(qsizetype index) const { return line_.cursorToX(static_cast<int>(index - from_)); }
    qsizetype indexAt(qreal x) const { return from_ + line_.xToCursor(x); }
    qsizetype nextStop(qsizetype index) const
    {
        return from_ + layout_.nextCursorPosition(static_cast<int>(index - from_));
    }
    qreal width() const { return line_.naturalTextWidth(); }
    qreal ascent() const { return line_.ascent(); }
    qsizetype from() const { return from_; }
    QTextLayout& layout() { return layout_; }

private:
    QTextLayout layout_;
    QTextLine line_;
    qsizetype from_;
};

// Screen readers get the whole text in both states (QLineEdit's own
// interface would hide it in the windowed one, where the base class is told
// to show nothing).
class LongLineEditAccessible : public QAccessibleWidget,
                               public QAccessibleTextInterface,
                               public QAccessibleEditableTextInterface {
public:
    explicit LongLineEditAccessible(LongLineEdit* edit)
        : QAccessibleWidget(edit, QAccessible::EditableText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return edit()->text();
        QString s = QAccessibleWidget::text(t);
        if (s.isEmpty() && t == QAccessible::Description)
            s = edit()->placeholderText();
        return s;
    }
    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t != QAccessible::Value) {
            QAccessibleWidget::setText(t, text);
            return;
        }
        if (!edit()->isReadOnly())
            edit()->setLongText(text);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = edit()->isReadOnly();
        s.editable = !s.readOnly;
        s.selectableText = true;
        return s;
    }

    // Text.
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && edit()->hasSelectedText()) {
            *start = edit()->selectionStart();
            *end = edit()->selectionEnd();
        }
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            edit()->deselect();
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int start, int end) const override
    {
        return start > end ? QString() : edit()->text().mid(start, end - start);
    }
    int characterCount() const override { return static_cast<int>(edit()->text().size()); }
    QRect characterRect(int offset) const override
    {
        const QRect r = edit()->characterRect(offset);
        return r.isNull() ? r : QRect(edit()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override { return edit()->positionAt(edit()->mapFromGlobal(point)); }
    void scrollToSubstring(int start, int end) override
    {
        edit()->setCursorPosition(end);
        edit()->setCursorPosition(start);
    }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

    // Editable text: through the selection, so that undo takes it back.
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override
    {
        if (edit()->isReadOnly())
            return;
        const int n = static_cast<int>(edit()->text().size());
        start = std::clamp(start, 0, n);
        end = std::clamp(end, start, n);
        edit()->setSelection(start, end - start);
        if (end == start)
            edit()->setCursorPosition(start);
        edit()->pasteText(text);
    }

private:
    LongLineEdit* edit() const { return static_cast<LongLineEdit*>(widget()); }
};

QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QLineEdit"))
        if (auto* edit = dynamic_cast<LongLineEdit*>(object))
            return new LongLineEditAccessible(edit);
    return nullptr;
}

} // namespace

LongLineEdit::LongLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setMaxLength(std::numeric_limits<int>::max()); // QLineEdit stops at 32767 characters
    static const bool factoryInstalled = (QAccessible::installFactory(AccessibleFactory), true);
    (void)factoryInstalled;
    // An interface made while the base class was being built is QLineEdit's.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(this);
        made && !dynamic_cast<LongLineEditAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));

    // Connected before anyone else: the state follows the text before others see it.
    connect(this, &QLineEdit::textEdited, this, [this] { onTextEdited(); });
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { onTextChanged(text); });
    connect(this, &QLineEdit::cursorPositionChanged, this, [this] { onSelectionMoved(); });
    connect(this, &QLineEdit::selectionChanged, this, [this] { onSelectionMoved(); });
}

LongLineEdit::~LongLineEdit() = default;

void LongLineEdit::setLongText(const QString& text)
{
    prepareFor(text.size());
    setText(text);
}

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
    userEdit_ = true;
    setText(changed);
    setCursorPosition(static_cast<int>(at + with.size()));
    // setText() reports no edit; this was one.
    reportingEdit_ = true;
    emit textEdited(changed);
    reportingEdit_ = false;
}

// --- History -------------------------------------------------------------

void LongLineEdit::onTextEdited()
{
    if (!reportingEdit_)
        userEdit_ = true;
}

void LongLineEdit::onTextChanged(const QString& text)
{
    if (!applying_) {
        if (userEdit_) {
            record(shadow_, text);
        } else {
            // Set by the program: a new history, as QLineEdit::setText() does.
            undo_.clear();
            redo_.clear();
            historySize_ = 0;
        }
    }
    userEdit_ = false;
    shadow_ = text;
    updateState();
    update();
}

void LongLineEdit::onSelectionMoved()
{
    shadowCursor_ = cursorPosition();
    shadowAnchor_ = anchor();
    if (windowed_)
        update();
}

void LongLineEdit::record(const QString& before, const QString& after)
{
    const qsizetype oldSize = before.size();
    const qsizetype newSize = after.size();
    const QChar* a = before.constData();
    const QChar* b = after.constData();
    const qsizetype common = std::min(oldSize, newSize);
    const qsizetype prefix = std::mismatch(a, a + common, b).first - a;
    qsizetype suffix = 0;
    while (suffix < common - prefix && a[oldSize - 1 - suffix] == b[newSize - 1 - suffix])
        ++suffix;
    if (prefix == oldSize && prefix == newSize)
        return;

    Edit edit{prefix,
              before.mid(prefix, oldSize - prefix - suffix),
              after.mid(prefix, newSize - prefix - suffix),
              shadowCursor_,
              shadowAnchor_,
              false};
    edit.typed = edit.removed.isEmpty() && edit.inserted.size() <= 2;
    for (const Edit& e : redo_)
        historySize_ -= e.removed.size() + e.inserted.size();
    redo_.clear();
    if (edit.typed && !undo_.empty()) {
        Edit& last = undo_.back();
        if (last.typed && last.at + last.inserted.size() == edit.at) {
            last.inserted += edit.inserted;
            historySize_ += edit.inserted.size();
            return;
        }
    }
    historySize_ += edit.removed.size() + edit.inserted.size();
    undo_.push_back(std::move(edit));
    while (undo_.size() > 1 && historySize_ > kHistoryCharacters) {
        historySize_ -= undo_.front().removed.size() + undo_.front().inserted.size();
        undo_.pop_front();
    }
}

void LongLineEdit::replace(qsizetype at, qsizetype length, const QString& with)
{
    applying_ = true;
    change(at, length, with);
    applying_ = false;
}

void LongLineEdit::undoEdit()
{
    if (!canUndo())
        return;
    Edit edit = std::move(undo_.back());
    undo_.pop_back();
    replace(edit.at, edit.inserted.size(), edit.removed);
    selectTo(edit.anchorBefore, edit.cursorBefore);
    edit.typed = false; // redone as one piece
    redo_.push_back(std::move(edit));
}

void LongLineEdit::redoEdit()
{
    if (!canRedo())
        return;
    Edit edit = std::move(redo_.back());
    redo_.pop_back();
    replace(edit.at, edit.removed.size(), edit.inserted);
    undo_.push_back(std::move(edit));
}

// --- State ---------------------------------------------------------------

void LongLineEdit::prepareFor(qsizetype length)
{
    if (length > kWindowedFrom)
        setWindowed(true);
}

void LongLineEdit::updateState()
{
    setWindowed(QLineEdit::text().size() > kWindowedFrom);
}

void LongLineEdit::setWindowed(bool windowed)
{
    if (windowed == windowed_)
        return;
    windowed_ = windowed;
    // Only the display changes: the hints and the input method stay those of
    // an ordinary text field (not those of a hidden password).
    const Qt::InputMethodHints hints = inputMethodHints();
    const bool inputMethod = testAttribute(Qt::WA_InputMethodEnabled);
    setEchoMode(windowed ? QLineEdit::NoEcho : QLineEdit::Normal);
    setInputMethodHints(hints);
    setAttribute(Qt::WA_InputMethodEnabled, inputMethod);
    preedit_.clear();
    viewStart_ = 0;
    restartBlink();
    update();
}

// --- Clipboard -----------------------------------------------------------

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

void LongLineEdit::pasteFrom(QClipboard::Mode mode)
{
    pasteText(QGuiApplication::clipboard()->text(mode));
}

// --- Cursor movement -----------------------------------------------------

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

int LongLineEdit::nextCharacter(int position) const
{
    const QString t = QLineEdit::text();
    const qsizetype n = t.size();
    if (position >= n)
        return static_cast<int>(n);
    const qsizetype to = std::min(n, position + kClusterReach);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, t.constData() + position,
                               static_cast<int>(to - position));
    const qsizetype next = finder.toNextBoundary();
    return static_cast<int>(next > 0 ? position + next : position + 1);
}

int LongLineEdit::previousCharacter(int position) const
{
    if (position <= 0)
        return 0;
    const QString t = QLineEdit::text();
    const qsizetype from = std::max<qsizetype>(0, position - kClusterReach);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, t.constData() + from, static_cast<int>(position - from));
    finder.toEnd();
    const qsizetype previous = finder.toPreviousBoundary();
    return static_cast<int>(previous >= 0 && from + previous < position ? from + previous : position - 1);
}

// Word steps as QLineEdit takes them: over a run of separators or of word
// characters, then over the blanks that follow.
int LongLineEdit::nextWord(int position) const
{
    const QString t = QLineEdit::text();
    const qsizetype n = t.size();
    qsizetype p = position;
    if (p < n && IsWordSeparator(t[p])) {
        while (p < n && IsWordSeparator(t[p]))
            ++p;
    } else {
        while (p < n && !IsBlank(t[p]) && !IsWordSeparator(t[p]))
            ++p;
    }
    while (p < n && IsBlank(t[p]))
        ++p;
    return static_cast<int>(p);
}

int LongLineEdit::previousWord(int position) const
{
    const QString t = QLineEdit::text();
    qsizetype p = std::min<qsizetype>(position, t.size());
    while (p > 0 && IsBlank(t[p - 1]))
        --p;
    if (p > 0 && IsWordSeparator(t[p - 1])) {
        while (p > 0 && IsWordSeparator(t[p - 1]))
            --p;
    } else {
        while (p > 0 && !IsBlank(t[p - 1]) && !IsWordSeparator(t[p - 1]))
            --p;
    }
    return static_cast<int>(p);
}

// The keys whose base-class handling needs the laid-out text, or that would
// refuse to copy from a field that shows nothing.
bool LongLineEdit::windowedKey(QKeyEvent* event)
{
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const int c = cursorPosition();
    const auto forward = [&](int p) { return rtl ? previousCharacter(p) : nextCharacter(p); };
    const auto backward = [&](int p) { return rtl ? nextCharacter(p) : previousCharacter(p); };
    const auto wordForward = [&](int p) { return rtl ? previousWord(p) : nextWord(p); };
    const auto wordBackward = [&](int p) { return rtl ? nextWord(p) : previousWord(p); };
    const auto editable = [&] { return !isReadOnly(); };

    if (event->matches(QKeySequence::MoveToNextChar)) {
        if (hasSelectedText() && ArrowsGoToSelectionEnds())
            setCursorPosition(rtl ? selectionStart() : selectionEnd());
        else
            setCursorPosition(forward(c));
    } else if (event->matches(QKeySequence::MoveToPreviousChar)) {
        if (hasSelectedText() && ArrowsGoToSelectionEnds())
            setCursorPosition(rtl ? selectionEnd() : selectionStart());
        else
            setCursorPosition(backward(c));
    } else if (event->matches(QKeySequence::SelectNextChar)) {
        selectTo(anchor(), forward(c));
    } else if (event->matches(QKeySequence::SelectPreviousChar)) {
        selectTo(anchor(), backward(c));
    } else if (event->matches(QKeySequence::MoveToNextWord)) {
        setCursorPosition(wordForward(c));
    } else if (event->matches(QKeySequence::MoveToPreviousWord)) {
        setCursorPosition(wordBackward(c));
    } else if (event->matches(QKeySequence::SelectNextWord)) {
        selectTo(anchor(), wordForward(c));
    } else if (event->matches(QKeySequence::SelectPreviousWord)) {
        selectTo(anchor(), wordBackward(c));
    } else if (event->matches(QKeySequence::Delete)) {
        if (editable()) {
            if (!hasSelectedText())
                selectTo(c, nextCharacter(c));
            removeSelected();
        }
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        if (editable()) {
            if (!hasSelectedText())
                selectTo(c, nextWord(c));
            removeSelected();
        }
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        if (editable()) {
            if (!hasSelectedText())
                selectTo(c, previousWord(c));
            removeSelected();
        }
    } else if (event->matches(QKeySequence::DeleteEndOfLine)) {
        if (editable()) {
            selectTo(c, static_cast<int>(QLineEdit::text().size()));
            cutSelection();
        }
    } else if (event->matches(QKeySequence::DeleteCompleteLine)) {
        if (editable()) {
            selectAll();
            cutSelection();
        }
    } else if (event->matches(QKeySequence::Copy)) {
        copySelection();
    } else if (event->matches(QKeySequence::Cut)) {
        cutSelection();
    } else {
        return false;
    }
    return true;
}

void LongLineEdit::keyPressEvent(QKeyEvent* event)
{
    restartBlink();
    if (event->matches(QKeySequence::Undo)) {
        undoEdit();
    } else if (event->matches(QKeySequence::Redo)) {
        redoEdit();
    } else if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
        pasteFrom(QClipboard::Clipboard);
    } else if (!(windowed_ && (windowedKey(event) || bigSelectionKey(event)))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

// Backspace or a typed character over a big selection.
bool LongLineEdit::bigSelectionKey(QKeyEvent* event)
{
    if (isReadOnly() || !hasSelectedText() || selectedText().size() <= kBigEdit)
        return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (event->key() == Qt::Key_Backspace) {
        removeSelected();
        return true;
    }
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.front().isPrint())
        return false;
    pasteText(typed);
    return true;
}

// --- Geometry and painting -------------------------------------------------

QRect LongLineEdit::lineRect() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    const int height = fontMetrics().height();
    const int top = r.y() + (r.height() - height + 1) / 2; // centred, as QLineEdit places its line
    return QRect(r.x() + kHorizontalMargin, top, r.width() - 2 * kHorizontalMargin, height);
}

// Enough characters to fill the line even if each were a pixel wide, plus
// slack for marks that take no width.
qsizetype LongLineEdit::span() const
{
    return 4 * static_cast<qsizetype>(std::max(lineRect().width(), 0)) + 256;
}

void LongLineEdit::scrollToCursor()
{
    const QString t = QLineEdit::text();
    const qsizetype n = t.size();
    const qsizetype c = cursorPosition();
    const qsizetype reach = span();
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const qreal room = lineRect().width() - style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this);

    viewStart_ = std::clamp<qsizetype>(viewStart_, 0, n);
    if (c < viewStart_)
        viewStart_ = c;
    if (c - viewStart_ > reach)
        viewStart_ = c - reach;
    {
        // The cursor past the right edge: start further on.
        const Piece before(t, viewStart_, c, *this);
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
        const Piece tail(t, from, n, *this);
        const qreal shown = tail.x(n) - tail.x(viewStart_);
        if (shown < room) {
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

void LongLineEdit::paintEvent(QPaintEvent* event)
{
    if (!windowed_) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    const QRect contents =
        style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    painter.setClipRect(contents);

    scrollToCursor();
    const QString t = QLineEdit::text();
    const qsizetype c = cursorPosition();
    const qsizetype to = std::min(t.size(), viewStart_ + span());
    Piece piece(t, viewStart_, to, *this, preedit_, c);

    QList<QTextLayout::FormatRange> selections;
    if (hasSelectedText()) {
        const qsizetype from = std::max<qsizetype>(selectionStart(), viewStart_);
        const qsizetype end = std::min<qsizetype>(selectionEnd(), to);
        if (from < end) {
            QTextLayout::FormatRange range;
            range.start = static_cast<int>(from - viewStart_);
            range.length = static_cast<int>(end - from);
            range.format.setBackground(palette().brush(QPalette::Highlight));
            range.format.setForeground(palette().brush(QPalette::HighlightedText));
            selections.append(range);
        }
    }
    const QRect line = lineRect();
    const QPointF topLeft(line.left(), line.top() - (qRound(piece.ascent()) - fontMetrics().ascent()));
    painter.setPen(palette().color(QPalette::Text));
    piece.layout().draw(&painter, topLeft, selections, contents);
    if (hasFocus() && blinkOn_ && !isReadOnly() && preedit_.isEmpty())
        piece.layout().drawCursor(&painter, topLeft, static_cast<int>(c - viewStart_),
                                  style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this));
}

int LongLineEdit::positionAt(const QPoint& point) const
{
    if (!windowed_)
        return const_cast<LongLineEdit*>(this)->cursorPositionAt(point); // only reads, but is not const
    const QString t = QLineEdit::text();
    const Piece piece(t, viewStart_, std::min(t.size(), viewStart_ + span()), *this);
    return static_cast<int>(piece.indexAt(point.x() - lineRect().left()));
}

QRect LongLineEdit::characterRect(int position) const
{
    const QString t = QLineEdit::text();
    if (position < 0 || position > t.size())
        return {};
    const QRect line = lineRect();
    if (windowed_) {
        const qsizetype to = std::min(t.size(), viewStart_ + span());
        if (position < viewStart_ || position > to)
            return {};
        const Piece piece(t, viewStart_, to, *this);
        const qreal left = piece.x(position);
        const qreal right = position < to ? piece.x(piece.nextStop(position)) : left + 1;
        return QRect(line.left() + qRound(left), line.top(), std::max(1, qRound(right - left)), line.height());
    }
    // The base class keeps its scrolling to itself: place the character
    // from where it puts the cursor.
    const QFontMetricsF metrics(font());
    const qreal cursorX = cursorRect().center().x() - metrics.horizontalAdvance(t.left(cursorPosition()));
    const qreal left = cursorX + metrics.horizontalAdvance(t.left(position));
    const qreal width = position < t.size() ? metrics.horizontalAdvance(t.mid(position, 1)) : 1;
    return QRect(qRound(left), line.top(), std::max(1, qRound(width)), line.height());
}

// --- Mouse ----------------------------------------------------------------

namespace {
QElapsedTimer& TripleClickTimer()
{
    static QElapsedTimer timer;
    return timer;
}
} // namespace

void LongLineEdit::mousePressEvent(QMouseEvent* event)
{
    if (!windowed_) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    restartBlink();
    if (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton)
        return;
    QElapsedTimer& triple = TripleClickTimer();
    if (event->button() == Qt::LeftButton && triple.isValid()
        && triple.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval()) {
        triple.invalidate();
        selectAll();
        return;
    }
    const int position = positionAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
        mouseAnchor_ = anchor();
        selectTo(mouseAnchor_, position);
    } else {
        mouseAnchor_ = position;
        setCursorPosition(position);
    }
    selecting_ = event->button() == Qt::LeftButton;
}

void LongLineEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (!windowed_) {
        QLineEdit::mouseMoveEvent(event);
        return;
    }
    if (selecting_ && (event->buttons() & Qt::LeftButton))
        selectTo(mouseAnchor_, positionAt(event->position().toPoint()));
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
    if (!windowed_) {
        QLineEdit::mouseReleaseEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        selecting_ = false;
        if (hasSelectedText() && clipboard->supportsSelection())
            copySelection(QClipboard::Selection);
    }
}

void LongLineEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!windowed_) {
        QLineEdit::mouseDoubleClickEvent(event);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    // The word under the pointer, without the blanks after it.
    const int position = positionAt(event->position().toPoint());
    const int start = previousWord(nextWord(position));
    int end = nextWord(start);
    const QString t = QLineEdit::text();
    while (end > position && end > start && IsBlank(t[end - 1]))
        --end;
    selectTo(start, end);
    selecting_ = false;
    TripleClickTimer().start();
}

// --- Menus, drops, input methods -----------------------------------------

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

void LongLineEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (!windowed_) {
        QLineEdit::dragMoveEvent(event);
        return;
    }
    if (isReadOnly() || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    setCursorPosition(positionAt(event->position().toPoint()));
    event->acceptProposedAction();
}

void LongLineEdit::dropEvent(QDropEvent* event)
{
    const QString dropped = event->mimeData()->hasText() ? event->mimeData()->text() : QString();
    if (!windowed_) {
        prepareFor(QLineEdit::text().size() + dropped.size());
        if (!windowed_) {
            QLineEdit::dropEvent(event);
            return;
        }
    }
    if (isReadOnly() || dropped.isEmpty()) {
        event->ignore();
        return;
    }
    setCursorPosition(positionAt(event->position().toPoint()));
    pasteText(dropped);
    event->acceptProposedAction();
}

void LongLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!windowed_) {
        if (const qsizetype added = event->commitString().size(); added > 0)
            prepareFor(QLineEdit::text().size() + added);
        if (!windowed_) {
            QLineEdit::inputMethodEvent(event);
            return;
        }
    }
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    const int n = static_cast<int>(QLineEdit::text().size());
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        const int c = cursorPosition();
        if (event->replacementLength() > 0) {
            const int from = std::clamp(c + event->replacementStart(), 0, n);
            setSelection(from, std::min(event->replacementLength(), n - from));
        }
        pasteText(event->commitString());
    }
    for (const QInputMethodEvent::Attribute& a : event->attributes()) {
        if (a.type == QInputMethodEvent::Selection) {
            const int size = static_cast<int>(QLineEdit::text().size());
            const int start = std::clamp(a.start, 0, size);
            selectTo(start, std::clamp(start + a.length, 0, size));
        }
    }
    preedit_ = event->preeditString();
    update();
    event->accept();
}

QVariant LongLineEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (!windowed_)
        return QLineEdit::inputMethodQuery(query);
    const QString t = QLineEdit::text();
    const qsizetype c = cursorPosition();
    // Input methods get the text near the cursor, not a megabyte at each keystroke.
    const qsizetype from = std::max<qsizetype>(0, c - kInputMethodContext);
    const qsizetype to = std::min(t.size(), c + kInputMethodContext);
    switch (query) {
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle: {
        const QRect r = characterRect(query == Qt::ImCursorRectangle ? static_cast<int>(c) : anchor());
        return r.isNull() ? QRect(lineRect().topLeft(), QSize(1, lineRect().height())) : QRect(r.topLeft(), QSize(1, r.height()));
    }
    case Qt::ImSurroundingText:
        return t.mid(from, to - from);
    case Qt::ImCursorPosition:
        return static_cast<int>(c - from);
    case Qt::ImAnchorPosition:
        return static_cast<int>(std::clamp<qsizetype>(anchor(), from, to) - from);
    case Qt::ImTextBeforeCursor:
        return t.mid(from, c - from);
    case Qt::ImTextAfterCursor:
        return t.mid(c, to - c);
    default:
        return QLineEdit::inputMethodQuery(query);
    }
}

// --- Focus and the cursor's blinking ---------------------------------------

void LongLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    restartBlink();
}

void LongLineEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    restartBlink();
}

void LongLineEdit::restartBlink()
{
    blinkOn_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (windowed_ && hasFocus() && flash >= 2)
        blink_.start(flash / 2, this);
    else
        blink_.stop();
    if (windowed_)
        update();
}

void LongLineEdit::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == blink_.timerId()) {
        blinkOn_ = !blinkOn_;
        update();
        return;
    }
    QLineEdit::timerEvent(event);
}

} // namespace zebrix
