#include "SaveCommand.h"

#include "JpegConverter.h"
#include "PictureFile.h"
#include "RatioNumber.h"
#include "output/files/FileOutput.h"
#include "output/files/ImageFiles.h"
#include "platform/FrenchTranslations.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zebrix {

namespace {

const QString kDialogTitle = QStringLiteral("Enregistrer Sous");
const QString kUntitledName = QStringLiteral("Sans Nom.bmp");
const QString kRatioTitle = QStringLiteral("Valeur du ratio de compression");
const QString kRatioPrompt = QStringLiteral("Indiquez le ratio de compression (20-100)");
const QString kCaptionPrefix = QStringLiteral("Ruvovez : ");
const QString kErrorTitle = QStringLiteral("Erreur");

// What went wrong with a file, in the user's words, from the system's error
// number; `otherwise` when the number says nothing we can put better.
QString Reason(int error, const QString& otherwise)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return QStringLiteral("le dossier n'existe pas");
    case EACCES:
    case EPERM: return QStringLiteral("accès refusé, le dossier ou le fichier est protégé en écriture");
    case EROFS: return QStringLiteral("le disque est en lecture seule");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("le disque est plein");
    case EFBIG: return QStringLiteral("le fichier dépasse la taille permise");
    case EISDIR: return QStringLiteral("un dossier porte ce nom");
    case ENAMETOOLONG: return QStringLiteral("le nom du fichier est trop long");
    case EIO: return QStringLiteral("erreur d'entrée-sortie sur le disque");
    default: return otherwise;
    }
}

// Why the shared writer could not write a file, in the user's words.
QString Reason(const WriteResult& result, const QString& path)
{
    switch (result.failure) {
    case WriteResult::Failure::None: return {};
    case WriteResult::Failure::IsFolder: return QStringLiteral("un dossier porte ce nom");
    case WriteResult::Failure::NotRegular:
        return QStringLiteral("ce nom désigne un périphérique ou un tube, pas un fichier");
    case WriteResult::Failure::BrokenLink: return QStringLiteral("ce nom est un lien vers un fichier qui n'existe pas");
    case WriteResult::Failure::System: break;
    }
    if (result.error == ENOENT || result.error == ENOTDIR) {
        const QString folder = QFileInfo(path).absolutePath();
        return QStringLiteral("le dossier « %1 » n'existe pas").arg(QDir::toNativeSeparators(folder));
    }
    return Reason(result.error,
        QStringLiteral("erreur d'écriture (%1)").arg(QString::fromLocal8Bit(std::strerror(result.error))));
}

// The window's picture as plain pixels for the image files.
RgbImage ToRgb(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    RgbImage out;
    out.width = rgb.width();
    out.height = rgb.height();
    out.dotsPerMeterX = rgb.dotsPerMeterX();
    out.dotsPerMeterY = rgb.dotsPerMeterY();
    const auto rowBytes = static_cast<std::size_t>(out.width) * 3;
    out.pixels.resize(rowBytes * static_cast<std::size_t>(out.height));
    for (int y = 0; y < out.height; ++y)
        std::copy_n(rgb.constScanLine(y), rowBytes,
            out.pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y)));
    return out;
}

// The folder with a trailing "/" ("" gives "/").
QString WithTrailingSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Long answers are cut in the message: it must stay readable.
QString Shortened(const QString& text)
{
    constexpr qsizetype kMost = 40;
    return text.size() <= kMost ? text : text.left(kMost) + QStringLiteral("…");
}

bool Exists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The name with the extension of its format: everything after the first "."
// is replaced ("my.code.bmp" + "jpg" gives "my.jpg"; "code" gives "code.jpg").
QString WithExtension(const QString& name, const QString& extension)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return (dot < 0 ? name + QLatin1Char('.') : name.left(dot + 1)) + extension;
}

// Why the file can't be written at `destination` (named `name`, chosen as
// `chosen`), before anything is asked or written; nothing when it can be.
// Only a plain file, a link to one, or nothing at all may be replaced: a
// device or a pipe would be replaced by a plain file (a rename over
// /dev/full), and a broken link would make a file wherever it points.
std::optional<QString> TargetProblem(const QString& destination, const QString& name, const QString& chosen)
{
    if (name.startsWith(QLatin1Char('.')))
        return QStringLiteral("le nom « %1 » commence par un point : il ne resterait que l'extension, "
                              "un fichier caché sans nom")
            .arg(chosen);
    const QFileInfo target(destination);
    if (target.isSymLink() && !target.exists())
        return QStringLiteral("c'est un lien vers « %1 », qui n'existe pas")
            .arg(QDir::toNativeSeparators(target.symLinkTarget()));
    if (target.isDir())
        return QStringLiteral("un dossier porte ce nom");
    if (target.exists() && !target.isFile())
        return QStringLiteral(
            "ce n'est pas un fichier ordinaire (périphérique, tube ou socket), il n'est pas remplacé");
    return std::nullopt;
}

// The ratio the box's answer gives: 20 to 100 (100 for anything else), or
// nothing when the number does not fit in 16 bits.
std::optional<int> RatioFromText(const QString& text)
{
    const auto value = ReadRatioNumber(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
    if (!value)
        return std::nullopt;
    return *value < 20 || *value > 100 ? 100 : int{*value};
}

enum class Output { Bmp, Jpeg, Png };
struct FileType {
    const char* description; // shown as it stands, blanks included
    const char* extension; // given to the file written; the pattern shown is "*." and it
    Output output;
    int ratio; // JPEG ratio; 0: asked for
};
constexpr FileType kFileTypes[] = {{"Image en mode point  (*.BMP)", "bmp", Output::Bmp, 0},
    {"Format JPG-Ratio 100% (*.JPG)", "jpg", Output::Jpeg, 100},
    {"Format JPG-Ratio 80%  (*.JPG)", "jpg", Output::Jpeg, 80},
    {"Format JPG-Ratio 50%  (*.JPG)", "jpg", Output::Jpeg, 50},
    {"Format JPG-Ratio personnalisé (*.JPG)", "jpg", Output::Jpeg, 0}, {"Image PNG  (*.PNG)", "png", Output::Png, 0}};
constexpr int kTypeCount = static_cast<int>(std::size(kFileTypes));

struct Chosen {
    QString path; // full path of the file chosen, as typed (no extension added)
    int fileType; // counted from 1
};

// Qt's own (non-native) save dialog, the same on every desktop. Nothing when
// the user cancels (also when they decline to replace an existing file).
std::optional<Chosen> AskFileName(QWidget* parent, int selectedType, const QString& proposedName)
{
    QFileDialog dialog(parent, kDialogTitle);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setProxyModel(FrenchFileDetails(&dialog));
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
    for (const FileType& type : kFileTypes)
        filters << (QString::fromUtf8(type.description) + QStringLiteral(" (*.") + QLatin1String(type.extension)
            + QLatin1Char(')'))
                       .simplified();
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.at(selectedType - 1));
    QComboBox* typeList = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (typeList && typeList->count() == kTypeCount)
        for (int i = 0; i < kTypeCount; ++i)
            typeList->setItemText(i, QString::fromUtf8(kFileTypes[i].description));
    if (!proposedName.isEmpty())
        dialog.selectFile(proposedName);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty())
        return std::nullopt;
    if (typeList && typeList->currentIndex() >= 0)
        return Chosen{files.front(), typeList->currentIndex() + 1};
    return Chosen{files.front(), std::max(1, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1)};
}

// Writes the picture as BMP or PNG; why it could not, in the user's words.
std::optional<QString> WriteDirect(const QImage& image, const QString& destination, Output output)
{
    const RgbImage rgb = ToRgb(image);
    const std::string bytes = output == Output::Png ? EncodePng(rgb) : EncodeBmp(rgb);
    if (const auto result = WriteFileAtomically(QFile::encodeName(destination).toStdString(), bytes); !result.written())
        return Reason(result, destination);
    return std::nullopt;
}

std::optional<QString> WriteJpeg(const QImage& image, const QString& destination, int ratio)
{
    // The bitmap for the converter goes to a private folder of ours in the
    // system's temporary folder, removed whatever happens. TMPDIR as it
    // stands: Qt's temporary folder would be the current one where it is no
    // folder.
    QString root = qEnvironmentVariable("TMPDIR");
    if (root.isEmpty())
        root = QStringLiteral("/tmp");
    errno = 0;
    QTemporaryDir work(QDir(root).filePath(QStringLiteral("zebrix-XXXXXX")));
    if (!work.isValid()) {
        const int error = errno;
        return QStringLiteral("impossible de créer un dossier temporaire dans « %1 » : %2")
            .arg(QDir::toNativeSeparators(root), Reason(error, QStringLiteral("erreur inconnue")));
    }
    const QString bitmap = work.filePath(QStringLiteral("Temp.bmp"));
    const QString jpeg = work.filePath(QStringLiteral("Temp.jpg"));

    if (const auto result = WriteFileAtomically(QFile::encodeName(bitmap).toStdString(), EncodeBmp(ToRgb(image)));
        !result.written())
        return QStringLiteral("le fichier temporaire n'a pas pu être écrit : %1").arg(Reason(result, bitmap));

    const auto result = ConvertToJpeg(bitmap, jpeg, ratio);
    switch (result.outcome) {
    case ConverterOutcome::Done: break;
    case ConverterOutcome::LibraryMissing:
        return QStringLiteral("la bibliothèque de conversion JPEG « %1 » est introuvable").arg(ConverterFileName());
    case ConverterOutcome::FunctionMissing:
        return QStringLiteral("la bibliothèque de conversion JPEG « %1 » n'a pas de fonction RsBmpToJpg")
            .arg(ConverterFileName());
    case ConverterOutcome::Failed:
        switch (result.code) {
        case ZAREZU_CANNOT_WRITE:
            return QStringLiteral("la conversion en JPEG n'a pas pu écrire son fichier (disque plein ?)");
        case ZAREZU_OUT_OF_MEMORY: return QStringLiteral("mémoire insuffisante pour la conversion en JPEG");
        default: return QStringLiteral("la conversion en JPEG a échoué (code %1)").arg(result.code);
        }
    }
    if (!QFileInfo(jpeg).isFile())
        return QStringLiteral("la conversion en JPEG n'a produit aucun fichier");
    QFile converted(jpeg);
    if (!converted.open(QIODevice::ReadOnly))
        return QStringLiteral("le fichier JPEG converti ne peut pas être lu");
    const QByteArray jpegBytes = converted.readAll();
    if (jpegBytes.isEmpty())
        return QStringLiteral("la conversion en JPEG a produit un fichier vide");
    if (const auto written = WriteFileAtomically(QFile::encodeName(destination).toStdString(),
            std::string_view(jpegBytes.constData(), static_cast<std::size_t>(jpegBytes.size())));
        !written.written())
        return Reason(written, destination);
    return std::nullopt;
}

void ShowFailure(QWidget* parent, const QString& destination, const QString& reason)
{
    ShowMessage(parent,
        QStringLiteral("Le fichier « %1 » n'a pas été enregistré :\n%2.")
            .arg(QDir::toNativeSeparators(destination), reason),
        kErrorTitle, QMessageBox::Critical);
}

} // namespace

QStringList SaveFileTypes()
{
    QStringList types;
    for (const FileType& type : kFileTypes)
        types << QString::fromUtf8(type.description);
    return types;
}

std::optional<SavedPicture> SaveBarcode(QWidget* parent, const QImage& image, SaveMemory& m)
{
    if (m.lastFileName == kUntitledName)
        m.lastFileName.clear();
    if (m.lastFileType < 1 || m.lastFileType > kTypeCount)
        m.lastFileType = 1;
    const auto answer = AskFileName(parent, m.lastFileType, m.lastFileName);
    if (!answer)
        return std::nullopt; // cancelled: nothing changes

    const int typeNumber = std::clamp(answer->fileType, 1, kTypeCount);
    m.lastFileType = static_cast<std::int16_t>(typeNumber);
    m.lastFileName = answer->path;
    const FileType& type = kFileTypes[typeNumber - 1];

    const QString chosenName = m.lastFileName.mid(m.lastFileName.lastIndexOf(QLatin1Char('/')) + 1);
    const QString folder = m.lastFileName.left(m.lastFileName.size() - chosenName.size());
    const QString name = WithExtension(chosenName, QLatin1String(type.extension));
    const QString destination = WithTrailingSlash(folder) + name;

    if (const auto problem = TargetProblem(destination, name, chosenName))
        return ShowFailure(parent, destination, *problem), std::nullopt;

    // The dialog asked about the name as typed; the file written may be
    // another one, which must not be replaced unasked.
    if (destination != answer->path && Exists(destination)
        && ShowMessage(parent, QStringLiteral("Le fichier « %1 » existe déjà.\nVoulez-vous le remplacer ?").arg(name),
               kDialogTitle, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
        return std::nullopt;

    std::optional<QString> failure;
    if (type.output == Output::Jpeg) {
        int ratio = type.ratio;
        if (ratio == 0) {
            if (m.lastRatioText.isEmpty())
                m.lastRatioText = QStringLiteral("100");
            // Cancelled: an empty answer, ratio 100.
            m.lastRatioText = QInputDialog::getText(parent, kRatioTitle,
                kRatioPrompt + QStringLiteral(" pour le fichier ") + name + QLatin1Char('.'), QLineEdit::Normal,
                m.lastRatioText);
            const auto asked = RatioFromText(m.lastRatioText);
            if (!asked)
                return ShowFailure(parent, destination,
                           QStringLiteral("le ratio « %1 » est hors limites (20 à 100)")
                               .arg(Shortened(m.lastRatioText))),
                       std::nullopt;
            ratio = *asked;
        }
        failure = WriteJpeg(image, destination, ratio);
    } else {
        failure = WriteDirect(image, destination, type.output);
    }
    if (failure)
        return ShowFailure(parent, destination, *failure), std::nullopt;

    m.lastFileName = destination;
    // Read back with the resolution the file records (96 dpi when none), so
    // that the print command prints it at its true size.
    QImage saved = LoadPicture(m.lastFileName);
    if (saved.isNull()) {
        ShowMessage(parent,
            QStringLiteral("Le fichier « %1 » a été enregistré, mais il ne peut pas être relu.")
                .arg(QDir::toNativeSeparators(destination)),
            kErrorTitle, QMessageBox::Critical);
        return std::nullopt;
    }
    return SavedPicture{std::move(saved), kCaptionPrefix + name};
}

} // namespace zebrix
