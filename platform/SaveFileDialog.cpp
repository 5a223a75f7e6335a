#include "SaveFileDialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>

#include <algorithm>

namespace zebrix {

std::optional<SaveDialogAnswer> QtSaveFileDialog::getSaveFileName(QWidget* parent, const SaveDialogRequest& request)
{
    QFileDialog dialog(parent, request.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // File names are case-sensitive here, our patterns are not meant to be:
    // "*.BMP" lists code.bmp as well as CODE.BMP.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);

    // Qt takes the patterns from the last parentheses of each filter and
    // shows the filter with its blanks simplified; so each file type gets its
    // pattern appended for Qt to read, and the list then shows the
    // descriptions exactly as they stand. The pattern goes in lower case: when
    // the user changes the type, Qt puts its extension on the name typed.
    // Qt finds a filter only as it keeps it, blanks simplified: the list holds
    // them so, and a type is chosen and read back by its place in the list.
    QStringList filters;
    for (const SaveFileType& type : request.fileTypes)
        filters << (type.description + QStringLiteral(" (") + type.pattern.toLower() + QLatin1Char(')')).simplified();
    QComboBox* typeList = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const auto selected = std::clamp<qsizetype>(request.selectedType, 1, filters.size()) - 1;
        dialog.selectNameFilter(filters.at(selected));
        if (typeList && typeList->count() == filters.size())
            for (int i = 0; i < typeList->count(); ++i)
                typeList->setItemText(i, request.fileTypes[static_cast<std::size_t>(i)].description);
    }
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty())
        return std::nullopt;

    int fileType = 1;
    if (typeList && typeList->currentIndex() >= 0)
        fileType = typeList->currentIndex() + 1;
    else if (const auto i = filters.indexOf(dialog.selectedNameFilter()); i >= 0)
        fileType = static_cast<int>(i) + 1;
    return SaveDialogAnswer{files.front(), fileType};
}

} // namespace zebrix
