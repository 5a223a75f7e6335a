#include "LongLineEditAccessible.h"

#include "LongLineEdit.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace zebrix {

namespace {

// Screen readers get the whole text (QLineEdit's own interface would give
// them the slice only); their edits go through the field, one step of undo each.
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
        return t == QAccessible::Value ? edit()->text() : QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t == QAccessible::Value)
            replaceText(0, characterCount(), text);
        else
            QAccessibleWidget::setText(t, text);
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
        const bool selected = index == 0 && edit()->hasSelectedText();
        *start = selected ? edit()->selectionStart() : 0;
        *end = selected ? edit()->selectionEnd() : 0;
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { edit()->deselect(); }
    void setSelection(int, int start, int end) override { edit()->setSelection(start, end - start); }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int start, int end) const override { return edit()->text().mid(start, std::max(end - start, 0)); }
    int characterCount() const override { return static_cast<int>(edit()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint& point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int) override { edit()->setCursorPosition(start); }
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

    // Editable text.
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override
    {
        if (edit()->isReadOnly())
            return;
        start = std::clamp(start, 0, characterCount());
        edit()->setSelection(start, std::clamp(end, start, characterCount()) - start);
        edit()->insert(text);
    }

private:
    LongLineEdit* edit() const { return static_cast<LongLineEdit*>(widget()); }
};

QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object)
{
    auto* edit = qobject_cast<LongLineEdit*>(object);
    return edit && className == QLatin1String(LongLineEdit::staticMetaObject.className())
        ? new LongLineEditAccessible(edit)
        : nullptr;
}

} // namespace

void UseLongLineEditAccessible(LongLineEdit& edit)
{
    static const bool factoryInstalled = (QAccessible::installFactory(AccessibleFactory), true);
    (void)factoryInstalled;
    // An interface made while QLineEdit was being built is QLineEdit's.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&edit);
        made && !dynamic_cast<LongLineEditAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

} // namespace zebrix
