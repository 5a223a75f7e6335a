#pragma once
// A save through the real save command with a scripted dialog, as BMP or as
// JPEG at ratio 50, loaded back as the picture printing prints.
#include "Commands.h"
#include "MainWindow.h"
#include "output/PictureFile.h"
#include "support/FakeInputBox.h"
#include "support/FakeMessageBox.h"
#include "support/FakeSaveFileDialog.h"

namespace zebrix::test {

enum class SaveFormat { Bmp, Jpeg50 };

inline bool SaveLikeTheSaveCommand(MainWindow& window, const QString& path, SaveFormat format)
{
    FakeSaveFileDialog dialog;
    FakeInputBox inputBox;
    FakeMessageBox messages;
    dialog.answers.push_back(FakeSaveFileDialog::Answer{path, format == SaveFormat::Bmp ? 1 : 4});
    SaveCommandFor(SaveSeams{&dialog, &inputBox, &messages, {ZEBRIX_CONVERTER_DIR}, {}})(window);
    return messages.shown.empty() && window.windowTitle().startsWith("Ruvovez : ");
}

} // namespace zebrix::test
