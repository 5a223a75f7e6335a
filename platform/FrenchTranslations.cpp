#include "FrenchTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>

namespace zebrix {

namespace {

// Qt's French translations, and the few texts of the file dialog they lack
// (the kinds of file in its list, "Folder").
class FrenchTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override
    {
        QString text = QTranslator::translate(context, source, disambiguation, n);
        if (!text.isEmpty() || !context || !source || std::strcmp(context, "QAbstractFileIconProvider") != 0)
            return text;
        static constexpr const char* kFileKinds[][2]
            = {{"Folder", "Dossier"}, {"File", "Fichier"}, {"%1 File", "Fichier %1"}, {"Drive", "Lecteur"},
                {"Shortcut", "Raccourci"}, {"Alias", "Alias"}, {"Unknown", "Inconnu"}};
        for (const auto& kind : kFileKinds)
            if (std::strcmp(source, kind[0]) == 0)
                return QString::fromUtf8(kind[1]);
        return text;
    }
};

} // namespace

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
