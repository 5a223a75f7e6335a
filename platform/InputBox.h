#pragma once
// A one-line input box behind a small seam, so that commands run headless.
#include <QString>

class QWidget;

namespace zebrix {

class InputBox {
public:
    virtual ~InputBox() = default;
    // Modal. The text typed, or the empty string when the user cancels.
    virtual QString getText(QWidget* parent, const QString& title, const QString& prompt, const QString& defaultText)
        = 0;
};

// The real thing: QInputDialog.
class QtInputBox : public InputBox {
public:
    QString getText(QWidget* parent, const QString& title, const QString& prompt, const QString& defaultText) override;
};

} // namespace zebrix
