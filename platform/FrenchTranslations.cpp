#include "FrenchTranslations.h"

#include <QCoreApplication>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>

namespace zebrix {

namespace {

// Texts of Qt's dialogs that its French translations lack, by the context Qt
// gives them: the kinds of file in the file dialog's list, and the print
// dialog's double-sided printing and printer properties.
constexpr const char* kMissingTexts[][3] = {
    {"QAbstractFileIconProvider", "Folder", "Dossier"},
    {"QAbstractFileIconProvider", "File", "Fichier"},
    {"QAbstractFileIconProvider", "%1 File", "Fichier %1"},
    {"QAbstractFileIconProvider", "Drive", "Lecteur"},
    {"QAbstractFileIconProvider", "Shortcut", "Raccourci"},
    {"QAbstractFileIconProvider", "Alias", "Alias"},
    {"QAbstractFileIconProvider", "Unknown", "Inconnu"},
    {"QPrintSettingsOutput", "Double Sided Printing", "Impression recto verso"},
    {"QPrintSettingsOutput", "Off", "Non"},
    {"QPrintSettingsOutput", "Long side binding", "Reliure sur le bord long"},
    {"QPrintSettingsOutput", "Short side binding", "Reliure sur le bord court"},
    {"QPrintSettingsOutput",
        "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. "
        "E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
        "Indiquez des pages ou des suites de pages séparées par des virgules ; une suite va d'un numéro à un autre "
        "séparés par un tiret. Par exemple, 3,5-7,9 imprime les pages 3, 5, 6, 7 et 9."},
    {"QPrintPropertiesDialog", "Printer Properties", "Propriétés de l'imprimante"},
    {"QPrintPropertiesWidget", "Advanced", "Avancé"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
        "Certaines options sont en conflit : corrigez-les."},
};

// Qt's French translations, and the texts above where they have none.
class FrenchTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override
    {
        QString text = QTranslator::translate(context, source, disambiguation, n);
        if (!text.isEmpty() || !context || !source)
            return text;
        for (const auto& [inContext, english, french] : kMissingTexts)
            if (std::strcmp(context, inContext) == 0 && std::strcmp(source, english) == 0)
                return QString::fromUtf8(french);
        return text;
    }
};

// The file list's size and date columns, which Qt formats with the system's
// locale, not the program's.
class FileDetails : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != kSize && index.column() != kModified))
            return QIdentityProxyModel::data(index, role);
        const QFileInfo file = files->fileInfo(mapToSource(index));
        const QLocale french(QLocale::French, QLocale::France);
        if (index.column() == kModified)
            return french.toString(file.lastModified(), QLocale::ShortFormat);
        return file.isDir() ? QString() : french.formattedDataSize(file.size());
    }

private:
    static constexpr int kSize = 1;
    static constexpr int kModified = 3;
};

} // namespace

QAbstractProxyModel* FrenchFileDetails(QObject* parent) { return new FileDetails(parent); }

QTranslator* InstallFrenchTranslations()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    auto* texts = new FrenchTexts(QCoreApplication::instance());
    if (!texts->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(texts)) {
        delete texts;
        return nullptr;
    }
    return texts;
}

} // namespace zebrix
