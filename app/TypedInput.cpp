#include "TypedInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QWidget>

#include <unistd.h>

namespace zebrix {
namespace {

QWidget* KeyboardTarget()
{
    if (QWidget* w = QApplication::focusWidget())
        return w;
    for (QWidget* top : QApplication::topLevelWidgets()) // the window may not be active yet
        if (top->isVisible() && top->focusWidget())
            return top->focusWidget();
    return nullptr;
}

void Type(const QString& line)
{
    for (const QChar c : line) {
        QWidget* target = KeyboardTarget();
        if (!target)
            return;
        const int key = c.unicode() < 0x80 ? c.toUpper().unicode() : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

} // namespace

void TypeLinesFromStandardInput(QObject* parent)
{
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, parent);
    auto* pending = new QByteArray;
    QObject::connect(notifier, &QObject::destroyed, [pending] { delete pending; });
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, pending] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) { // end of input (or an error): nothing more to type
            notifier->setEnabled(false);
            return;
        }
        pending->append(buffer, n);
        for (qsizetype end; (end = pending->indexOf('\n')) >= 0;) {
            Type(QString::fromUtf8(pending->left(end)));
            pending->remove(0, end + 1);
        }
    });
}

} // namespace zebrix
