#include "CommandKeys.h"

#include <QKeyEvent>
#include <QPushButton>

namespace zebrix {

namespace {

class ClickOnEnter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier)
            return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || key->isAutoRepeat())
            return button != nullptr;
        button->click();
        return true;
    }
};

} // namespace

void ClickFocusedButtonsOnEnter(QWidget& window)
{
    auto* filter = new ClickOnEnter(&window);
    for (QPushButton* button : window.findChildren<QPushButton*>())
        button->installEventFilter(filter);
}

void GiveShortcut(QPushButton& button, const QKeySequence& keys, const QString& purpose)
{
    button.setShortcut(keys);
    if (!purpose.isEmpty())
        button.setToolTip(QStringLiteral("%1 (%2)").arg(purpose, keys.toString(QKeySequence::NativeText)));
}

} // namespace zebrix
