#pragma once
// A save through the real save command with a scripted dialog: the surface
// written as BMP (type 1) or as JPEG at the ratio 50 (type 4) by the converter
// library, loaded back as the surface's background picture, named in the
// caption. What printing prints.
#include "Commands.h"
#include "MainWindow.h"
#include "output/PictureFile.h"
#include "support/FakeInputBox.h"
#include "support/FakeMessageBox.h"
#include "support/FakeSaveFileDialog.h"

#include <QImageWriter>

namespace zebrix::test {

enum class SaveFormat { Bmp, Jpeg50 };

inline bool SaveLikeTheSaveCommand(MainWindow& window, const QString& path, SaveFormat format)
{
    FakeSaveFileDialog dialog;
    FakeInputBox inputBox;
    FakeMessageBox messages;
    dialog.answers.push_back(FakeSaveFileDialog::Answer{path, format == SaveFormat::Bmp ? 1 : 4});
    SaveSeams seams;
    seams.dialog = &dialog;
    seams.inputBox = &inputBox;
    seams.messageBox = &messages;
    seams.converterFolders = {QStringLiteral(ZEBRIX_CONVERTER_DIR)};
    SaveCommandFor(seams)(window);
    return messages.shown.empty() && window.windowTitle().startsWith(QStringLiteral("Ruvovez : "));
}

} // namespace zebrix::test
