#pragma once
// A save through the real save command with a scripted dialog: BMP (type 1)
// or JPEG at ratio 50 (type 4), loaded back as the surface's background
// picture and named in the caption. What printing prints.
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
    SaveCommandFor(SaveSeams{&dialog, &inputBox, &messages, {QStringLiteral(ZEBRIX_CONVERTER_DIR)}, {}})(window);
    return messages.shown.empty() && window.windowTitle().startsWith(QStringLiteral("Ruvovez : "));
}

} // namespace zebrix::test
