#pragma once
// The keyboard's way to the window's commands.
#include <QKeySequence>
#include <QString>

class QPushButton;
class QWidget;

namespace zebrix {

// Enter or Return on a focused push button of `window` clicks it, as Space
// does (outside dialogs Qt's buttons take only Space).
void ClickFocusedButtonsOnEnter(QWidget& window);

// `keys` click `button` from anywhere in its window (its caption does not
// change). The tooltip becomes `purpose` followed by the keys in brackets;
// an empty `purpose` leaves the tooltip as it is.
void GiveShortcut(QPushButton& button, const QKeySequence& keys, const QString& purpose);

} // namespace zebrix
