#pragma once
// The save file dialog behind a small seam, so that the save command runs
// headless in tests.
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QWidget;

namespace zebrix {

struct SaveFileType {
    QString description; // shown as it stands, blanks included
    QString pattern; // e.g. "*.BMP"; matched without regard to case
};

struct SaveDialogRequest {
    QString title;
    std::vector<SaveFileType> fileTypes;
    int selectedType = 1; // counted from 1
    QString proposedName; // full path or bare name; may be empty
    bool confirmOverwrite = true;
};

struct SaveDialogAnswer {
    QString path; // full path of the file chosen, as typed (no extension added)
    int fileType; // counted from 1
};

class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    // Modal. Nothing when the user cancels (also when they decline to replace
    // an existing file).
    virtual std::optional<SaveDialogAnswer> getSaveFileName(QWidget* parent, const SaveDialogRequest& request) = 0;
};

// The real thing: Qt's own (non-native) file dialog, the same on every desktop.
class QtSaveFileDialog : public SaveFileDialog {
public:
    std::optional<SaveDialogAnswer> getSaveFileName(QWidget* parent, const SaveDialogRequest& request) override;
};

} // namespace zebrix
