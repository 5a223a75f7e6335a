#include "InputBox.h"

#include <QInputDialog>

namespace zebrix {

QString QtInputBox::getText(QWidget* parent, const QString& title, const QString& prompt, const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

} // namespace zebrix
