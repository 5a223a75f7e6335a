#pragma once
// "Enregistrer le Code Barre sous...": writes the surface's picture as BMP,
// JPEG (through the converter library) or PNG, then shows the saved file as
// the surface's background picture and names it in the caption.
#include "JpegConverter.h"
#include "SaveHost.h"
#include "SaveMemory.h"
#include "platform/InputBox.h"
#include "platform/MessageBox.h"
#include "platform/SaveFileDialog.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace zebrix {

// The desktop pieces the save command talks to. Anything left empty gets the
// real thing.
struct SaveSeams {
    SaveFileDialog* dialog = nullptr;
    InputBox* inputBox = nullptr;
    MessageBoxService* messageBox = nullptr;
    QStringList converterFolders; // where to look for the converter library
    QString temporaryRoot; // where private temporary folders go; the system's by default
};

class SaveCommand {
public:
    explicit SaveCommand(SaveHost& host, SaveSeams seams = {});
    ~SaveCommand();
    SaveCommand(const SaveCommand&) = delete;
    SaveCommand& operator=(const SaveCommand&) = delete;

    // The whole save, dialogs included. Cancelling says nothing; any other
    // failure shows one "Erreur" box naming the file.
    void run();

    // The remembered values (for the run of the program).
    SaveMemory& memory() { return memory_; }
    const SaveMemory& memory() const { return memory_; }

    enum class Output { Bmp, Jpeg, Png };
    struct FileType {
        SaveFileType shown; // description and pattern in the dialog
        QString extension; // given to the file written
        Output output;
        int ratio; // JPEG ratio; 0: asked for
    };
    // The file types of the dialog, numbered from 1 in this order.
    static const std::vector<FileType>& fileTypes();

private:
    struct Failure {
        QString reason;
    };
    std::optional<Failure> writeDirect(const QImage& image, const QString& destination, Output output);
    std::optional<Failure> writeJpeg(const QImage& image, const QString& destination, int ratio);
    bool confirmReplace(const QString& name);
    void showFailure(const QString& destination, const Failure& failure);

    SaveHost& host_;
    std::unique_ptr<SaveFileDialog> ownDialog_;
    std::unique_ptr<InputBox> ownInputBox_;
    std::unique_ptr<MessageBoxService> ownMessageBox_;
    SaveFileDialog* dialog_;
    InputBox* inputBox_;
    MessageBoxService* messageBox_;
    QString temporaryRoot_;
    JpegConverter converter_;
    SaveMemory memory_;
};

} // namespace zebrix
