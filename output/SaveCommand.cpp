#include "SaveCommand.h"

#include "PictureFile.h"

#include "RatioNumber.h"
#include "output/files/FileOutput.h"
#include "output/files/ImageFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
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

} // namespace

SaveCommand::SaveCommand(SaveHost& host, SaveSeams seams)
    : host_(host)
    , dialog_(seams.dialog)
    , inputBox_(seams.inputBox)
    , messageBox_(seams.messageBox)
    , temporaryRoot_(seams.temporaryRoot)
    , converter_(seams.converterFolders)
{
    if (!dialog_) {
        ownDialog_ = std::make_unique<QtSaveFileDialog>();
        dialog_ = ownDialog_.get();
    }
    if (!inputBox_) {
        ownInputBox_ = std::make_unique<QtInputBox>();
        inputBox_ = ownInputBox_.get();
    }
    if (!messageBox_) {
        ownMessageBox_ = std::make_unique<QtMessageBoxService>();
        messageBox_ = ownMessageBox_.get();
    }
}

SaveCommand::~SaveCommand() = default;

const std::vector<SaveCommand::FileType>& SaveCommand::fileTypes()
{
    static const std::vector<FileType> types
        = {{{QStringLiteral("Image en mode point  (*.BMP)"), QStringLiteral("*.BMP")}, QStringLiteral("bmp"),
               Output::Bmp, 0},
            {{QStringLiteral("Format JPG-Ratio 100% (*.JPG)"), QStringLiteral("*.JPG")}, QStringLiteral("jpg"),
                Output::Jpeg, 100},
            {{QStringLiteral("Format JPG-Ratio 80%  (*.JPG)"), QStringLiteral("*.JPG")}, QStringLiteral("jpg"),
                Output::Jpeg, 80},
            {{QStringLiteral("Format JPG-Ratio 50%  (*.JPG)"), QStringLiteral("*.JPG")}, QStringLiteral("jpg"),
                Output::Jpeg, 50},
            {{QStringLiteral("Format JPG-Ratio personnalisé (*.JPG)"), QStringLiteral("*.JPG")}, QStringLiteral("jpg"),
                Output::Jpeg, 0},
            {{QStringLiteral("Image PNG  (*.PNG)"), QStringLiteral("*.PNG")}, QStringLiteral("png"), Output::Png, 0}};
    return types;
}

void SaveCommand::run()
{
    SaveMemory& m = memory_;
    const auto& types = fileTypes();
    if (m.lastFileName == kUntitledName)
        m.lastFileName.clear();
    if (m.lastFileType < 1 || m.lastFileType > static_cast<int>(types.size()))
        m.lastFileType = 1;

    SaveDialogRequest request;
    request.title = kDialogTitle;
    for (const FileType& t : types)
        request.fileTypes.push_back(t.shown);
    request.selectedType = m.lastFileType;
    request.proposedName = m.lastFileName;
    request.confirmOverwrite = true;
    const auto answer = dialog_->getSaveFileName(host_.dialogParent(), request);
    if (!answer)
        return; // cancelled: nothing changes

    const int typeNumber = std::clamp(answer->fileType, 1, static_cast<int>(types.size()));
    m.lastFileType = static_cast<std::int16_t>(typeNumber);
    m.lastFileName = answer->path;
    const FileType& type = types[static_cast<std::size_t>(typeNumber - 1)];

    const QString chosenName = m.lastFileName.mid(m.lastFileName.lastIndexOf(QLatin1Char('/')) + 1);
    const QString folder = m.lastFileName.left(m.lastFileName.size() - chosenName.size());
    const QString name = WithExtension(chosenName, type.extension);
    const QString destination = WithTrailingSlash(folder) + name;

    if (const auto problem = TargetProblem(destination, name, chosenName)) {
        showFailure(destination, {*problem});
        return;
    }

    // The dialog asked about the name as typed; the file written may be
    // another one, which must not be replaced unasked.
    if (destination != answer->path && Exists(destination) && !confirmReplace(name))
        return;

    const QImage image = host_.currentImage();
    std::optional<Failure> failure;
    if (type.output == Output::Jpeg) {
        int ratio = type.ratio;
        if (ratio == 0) {
            if (m.lastRatioText.isEmpty())
                m.lastRatioText = QStringLiteral("100");
            m.lastRatioText = inputBox_->getText(host_.dialogParent(), kRatioTitle,
                kRatioPrompt + QStringLiteral(" pour le fichier ") + name + QLatin1Char('.'), m.lastRatioText);
            const auto asked = RatioFromText(m.lastRatioText);
            if (!asked) {
                showFailure(destination,
                    {QStringLiteral("le ratio « %1 » est hors limites (20 à 100)").arg(Shortened(m.lastRatioText))});
                return;
            }
            ratio = *asked;
        }
        failure = writeJpeg(image, destination, ratio);
    } else {
        failure = writeDirect(image, destination, type.output);
    }
    if (failure) {
        showFailure(destination, *failure);
        return;
    }

    m.lastFileName = destination;
    // Read back with the resolution the file records (96 dpi when none), so
    // that the print command prints it at its true size.
    const QImage saved = LoadPicture(m.lastFileName);
    if (saved.isNull()) {
        messageBox_->show(host_.dialogParent(),
            QStringLiteral("Le fichier « %1 » a été enregistré, mais il ne peut pas être relu.")
                .arg(QDir::toNativeSeparators(destination)),
            kErrorTitle, MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    host_.setBackgroundPicture(saved);
    host_.setCaption(kCaptionPrefix + name);
}

std::optional<SaveCommand::Failure> SaveCommand::writeDirect(
    const QImage& image, const QString& destination, Output output)
{
    const RgbImage rgb = ToRgb(image);
    const std::string bytes = output == Output::Png ? EncodePng(rgb) : EncodeBmp(rgb);
    if (const auto result = WriteFileAtomically(QFile::encodeName(destination).toStdString(), bytes); !result.written())
        return Failure{Reason(result, destination)};
    return std::nullopt;
}

std::optional<SaveCommand::Failure> SaveCommand::writeJpeg(const QImage& image, const QString& destination, int ratio)
{
    // The bitmap for the converter goes to a private folder of ours, removed
    // whatever happens.
    const QString root = temporaryRoot_.isEmpty() ? QDir::tempPath() : temporaryRoot_;
    errno = 0;
    QTemporaryDir work(QDir(root).filePath(QStringLiteral("zebrix-XXXXXX")));
    if (!work.isValid()) {
        const int error = errno;
        return Failure{QStringLiteral("impossible de créer un dossier temporaire dans « %1 » : %2")
                           .arg(QDir::toNativeSeparators(root), Reason(error, QStringLiteral("erreur inconnue")))};
    }
    const QString bitmap = work.filePath(QStringLiteral("Temp.bmp"));
    const QString jpeg = work.filePath(QStringLiteral("Temp.jpg"));

    if (const auto result = WriteFileAtomically(QFile::encodeName(bitmap).toStdString(), EncodeBmp(ToRgb(image)));
        !result.written())
        return Failure{QStringLiteral("le fichier temporaire n'a pas pu être écrit : %1").arg(Reason(result, bitmap))};

    const auto result = converter_.convert(bitmap, jpeg, ratio);
    switch (result.outcome) {
    case JpegConverter::Outcome::Done: break;
    case JpegConverter::Outcome::LibraryMissing:
        return Failure{QStringLiteral("la bibliothèque de conversion JPEG « %1 » est introuvable")
                           .arg(JpegConverter::libraryFileName())};
    case JpegConverter::Outcome::FunctionMissing:
        return Failure{QStringLiteral("la bibliothèque de conversion JPEG « %1 » n'a pas de fonction RsBmpToJpg")
                           .arg(JpegConverter::libraryFileName())};
    case JpegConverter::Outcome::Failed:
        switch (result.code) {
        case ZAREZU_CANNOT_WRITE:
            return Failure{QStringLiteral("la conversion en JPEG n'a pas pu écrire son fichier (disque plein ?)")};
        case ZAREZU_OUT_OF_MEMORY: return Failure{QStringLiteral("mémoire insuffisante pour la conversion en JPEG")};
        default: return Failure{QStringLiteral("la conversion en JPEG a échoué (code %1)").arg(result.code)};
        }
    }
    if (!QFileInfo(jpeg).isFile())
        return Failure{QStringLiteral("la conversion en JPEG n'a produit aucun fichier")};

    QFile converted(jpeg);
    if (!converted.open(QIODevice::ReadOnly))
        return Failure{QStringLiteral("le fichier JPEG converti ne peut pas être lu")};
    const QByteArray jpegBytes = converted.readAll();
    if (jpegBytes.isEmpty())
        return Failure{QStringLiteral("la conversion en JPEG a produit un fichier vide")};
    if (const auto result = WriteFileAtomically(QFile::encodeName(destination).toStdString(),
            std::string_view(jpegBytes.constData(), static_cast<std::size_t>(jpegBytes.size())));
        !result.written())
        return Failure{Reason(result, destination)};
    return std::nullopt;
}

bool SaveCommand::confirmReplace(const QString& name)
{
    const QString text = QStringLiteral("Le fichier « %1 » existe déjà.\nVoulez-vous le remplacer ?").arg(name);
    return messageBox_->show(host_.dialogParent(), text, kDialogTitle, MessageIcon::Warning, MessageButtons::YesNo)
        == MessageAnswer::Yes;
}

void SaveCommand::showFailure(const QString& destination, const Failure& failure)
{
    const QString text = QStringLiteral("Le fichier « %1 » n'a pas été enregistré :\n%2.")
                             .arg(QDir::toNativeSeparators(destination), failure.reason);
    messageBox_->show(host_.dialogParent(), text, kErrorTitle, MessageIcon::Critical, MessageButtons::Ok);
}

} // namespace zebrix
