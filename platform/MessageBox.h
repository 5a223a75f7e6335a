#pragma once
// Message boxes behind a small seam, so that commands run headless in tests.
#include <QString>

class QWidget;

namespace zebrix {

enum class MessageIcon { None, Information, Question, Warning, Critical };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Modal; returns the button pressed (No when a Yes/No box is closed).
    virtual MessageAnswer show(
        QWidget* parent, const QString& text, const QString& title, MessageIcon icon, MessageButtons buttons)
        = 0;
};

// The real thing: QMessageBox.
class QtMessageBoxService : public MessageBoxService {
public:
    MessageAnswer show(
        QWidget* parent, const QString& text, const QString& title, MessageIcon icon, MessageButtons buttons) override;
};

} // namespace zebrix
