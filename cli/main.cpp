// zebrix-cli: draws one barcode to an image file, with the window's pixels.
#include "Render.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace {

const char* const kUsage =
    "Usage: zebrix-cli [-s code39|i2of5|code128|codabar] [-p] [--no-label] [-c]\n"
    "                  [-w PX] [--quality Q] -o FILE [--] TEXT\n";

const char* const kHelp =
    "Draws TEXT as a one-dimensional barcode and writes it to FILE, pixel for pixel\n"
    "as the Zebrix window draws it (one pixel per narrow bar, 67 pixels high).\n"
    "\n"
    "  -s, --symbology NAME   code39 (default), i2of5 (Interleaved 2 of 5),\n"
    "                         code128 (code set B) or codabar\n"
    "  -p, --print-optimized  every space one pixel wider (\"Optimisé pour impression\");\n"
    "                         off by default, as readers want the exact ratios\n"
    "      --no-label         no human-readable line under the bars\n"
    "  -c, --check            add the check character (Code 39: modulo 43,\n"
    "                         Interleaved 2 of 5: modulo 10); Code 128 always has\n"
    "                         its check character and Codabar has none\n"
    "  -w, --width PX         image width in pixels, 1 to 65535 (default: the bars,\n"
    "                         a 20-pixel quiet zone on each side, and the whole label);\n"
    "                         a narrower image cuts the right end off\n"
    "  -o, --output FILE      .bmp (24-bit), .png or .jpg/.jpeg\n"
    "      --quality Q        JPEG quality, 20 to 100 (default 100)\n"
    "  -h, --help             this help\n"
    "      --version          the version\n"
    "\n"
    "Code 39 takes 0-9, A-Z (lower case is upper-cased), space and - . $ / + %;\n"
    "Interleaved 2 of 5 takes digits (a leading zero makes the length even);\n"
    "Code 128 takes the printable ASCII characters (32 to 126);\n"
    "Codabar takes 0-9, - $ : / . + and a to d, between the start and stop \"a\".\n"
    "\n"
    "Exit status: 0 written; 1 the file could not be written (nothing is left\n"
    "behind); 2 bad options, empty text or a character the symbology cannot\n"
    "encode (the message is printed and no file is written).\n";

void PrintErr(const QString& s)
{
    const QByteArray bytes = s.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
}

int UsageError(const QString& why)
{
    PrintErr(QStringLiteral("zebrix-cli: %1\n").arg(why));
    PrintErr(QString::fromLatin1(kUsage));
    PrintErr(QStringLiteral("Try 'zebrix-cli --help' for more.\n"));
    return 2;
}

std::optional<int> ParseInt(const QString& s, int low, int high)
{
    bool ok = false;
    const int v = s.toInt(&ok, 10);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return v;
}

// Qt's own notices (no runtime folder, no session bus ...) are not for the
// user of a command-line tool; our messages go straight to stderr.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg || type == QtCriticalMsg)
        PrintErr(message + u'\n');
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(QuietQtMessages);
    // Never shows a window: the offscreen platform is enough to draw text.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();

    zebrix::cli::RenderRequest request;
    QString output;
    int quality = 100;
    std::optional<QString> text;

    for (qsizetype i = 1; i < args.size(); ++i) {
        QString arg = args[i];
        QString value;
        bool hasInlineValue = false;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(u'=')) {
            value = arg.mid(arg.indexOf(u'=') + 1);
            arg = arg.left(arg.indexOf(u'='));
            hasInlineValue = true;
        }
        auto takeValue = [&]() -> std::optional<QString> {
            if (hasInlineValue)
                return value;
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };

        if (arg == QLatin1String("--")) {
            if (i + 1 < args.size()) {
                if (text || i + 2 < args.size())
                    return UsageError(QStringLiteral("only one text can be given"));
                text = args[i + 1];
            }
            break;
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            std::fputs(kUsage, stdout);
            std::fputs("\n", stdout);
            std::fputs(kHelp, stdout);
            return 0;
        } else if (arg == QLatin1String("--version")) {
            std::printf("zebrix-cli %s\n", ZEBRIX_VERSION);
            return 0;
        } else if (arg == QLatin1String("-s") || arg == QLatin1String("--symbology")) {
            const auto v = takeValue();
            if (!v)
                return UsageError(QStringLiteral("%1 needs a symbology").arg(arg));
            const QString name = v->toLower();
            if (name == QLatin1String("code39"))
                request.typeCode = zebrix::kCode39;
            else if (name == QLatin1String("i2of5"))
                request.typeCode = zebrix::kInterleaved2of5;
            else if (name == QLatin1String("code128"))
                request.typeCode = zebrix::kCode128;
            else if (name == QLatin1String("codabar"))
                request.typeCode = zebrix::kCodabar;
            else
                return UsageError(QStringLiteral("unknown symbology \"%1\"").arg(*v));
        } else if (arg == QLatin1String("-p") || arg == QLatin1String("--print-optimized")) {
            request.options.P = 1;
        } else if (arg == QLatin1String("--no-label")) {
            request.options.L = 0;
        } else if (arg == QLatin1String("-c") || arg == QLatin1String("--check")) {
            request.options.C = 1;
        } else if (arg == QLatin1String("-w") || arg == QLatin1String("--width")) {
            const auto v = takeValue();
            const auto w = v ? ParseInt(*v, 1, zebrix::cli::kMaxWidth) : std::nullopt;
            if (!w)
                return UsageError(QStringLiteral("%1 needs a width from 1 to %2 pixels").arg(arg).arg(zebrix::cli::kMaxWidth));
            request.width = *w;
        } else if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            const auto v = takeValue();
            if (!v || v->isEmpty())
                return UsageError(QStringLiteral("%1 needs a file name").arg(arg));
            output = *v;
        } else if (arg == QLatin1String("--quality")) {
            const auto v = takeValue();
            const auto q = v ? ParseInt(*v, 20, 100) : std::nullopt;
            if (!q)
                return UsageError(QStringLiteral("--quality needs a number from 20 to 100"));
            quality = *q;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return UsageError(QStringLiteral("unknown option \"%1\"").arg(arg));
        } else {
            if (text)
                return UsageError(QStringLiteral("only one text can be given"));
            text = args[i];
        }
    }

    if (output.isEmpty())
        return UsageError(QStringLiteral("no output file (-o FILE)"));
    if (!text || text->isEmpty())
        return UsageError(QStringLiteral("no text to draw"));

    request.text = text->toStdU16String();
    const auto result = zebrix::cli::RenderBarcode(request);
    if (result.image.isNull()) {
        PrintErr(QStringLiteral("zebrix-cli: %1\n").arg(result.message));
        return 2;
    }
    const QString error = zebrix::cli::WriteImage(result.image, output, quality);
    if (!error.isEmpty()) {
        PrintErr(QStringLiteral("zebrix-cli: %1\n").arg(error));
        return 1;
    }
    return 0;
}
