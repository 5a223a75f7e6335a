#pragma once
// A message box as the program shows them everywhere.
#include <QMessageBox>

namespace zebrix {

// Modal over `parent`; a carriage return alone ends a line as well. Returns
// the button pressed; Yes is the default of a Yes/No box.
QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, const QString& title,
    QMessageBox::Icon icon, QMessageBox::StandardButtons buttons = QMessageBox::Ok);

} // namespace zebrix
