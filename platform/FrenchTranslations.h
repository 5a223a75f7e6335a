#pragma once
// Zebrix speaks French whatever the desktop's language: Qt's own texts
// (standard buttons, file and print dialogs, the text field's context menu)
// come from Qt's French translations, which Debian ships in
// qt6-translations-l10n; the few texts of Qt's dialogs they lack are ours.

class QTranslator;

namespace zebrix {

// Installs Qt's French translations in the running application (owned by
// it) and makes French the default locale. Nothing when the translations
// are not installed: Qt's texts then stay English. Call it once the
// application exists.
QTranslator* InstallFrenchTranslations();

} // namespace zebrix
