#pragma once
// A message box as the program shows them everywhere.
#include <QMessageBox>

namespace zebrix {

// Modal over `parent`; a carriage return alone ends a line as well. Returns
// the button pressed; Yes is the default of a Yes/No box.
QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, const QString& title,
    QMessageBox::Icon icon, QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// The former message box seam, for tests/window/LongLineEditTest.cpp alone
// until it calls ShowMessage; nothing else uses it.
enum class MessageIcon { None, Information, Question, Warning, Critical };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };
struct QtMessageBoxService {
    MessageAnswer show(
        QWidget* parent, const QString& text, const QString& title, MessageIcon icon, MessageButtons buttons) const
    {
        constexpr QMessageBox::Icon kIcons[] = {QMessageBox::NoIcon, QMessageBox::Information, QMessageBox::Question,
            QMessageBox::Warning, QMessageBox::Critical};
        if (buttons == MessageButtons::Ok)
            return ShowMessage(parent, text, title, kIcons[static_cast<int>(icon)]), MessageAnswer::Ok;
        return ShowMessage(parent, text, title, kIcons[static_cast<int>(icon)], QMessageBox::Yes | QMessageBox::No)
                == QMessageBox::Yes
            ? MessageAnswer::Yes
            : MessageAnswer::No;
    }
};

} // namespace zebrix
