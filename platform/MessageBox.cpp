#include "MessageBox.h"

namespace zebrix {

QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, const QString& title,
    QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(icon, title, lines, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (buttons & QMessageBox::Yes)
        box.setDefaultButton(QMessageBox::Yes);
    const int answer = box.exec();
    return buttons == QMessageBox::Ok ? QMessageBox::Ok : static_cast<QMessageBox::StandardButton>(answer);
}

} // namespace zebrix
