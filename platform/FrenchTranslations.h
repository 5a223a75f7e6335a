#pragma once
// Zebrix speaks French whatever the desktop's language: Qt's own texts
// (standard buttons, file and print dialogs, the text field's context menu)
// come from Qt's French translations, which Debian ships in
// qt6-translations-l10n; the few texts of Qt's dialogs they lack are ours.

class QAbstractProxyModel;
class QObject;
class QTranslator;

namespace zebrix {

// Installs Qt's French translations in the running application (owned by
// it) and makes French the default locale. Nothing when the translations
// are not installed: Qt's texts then stay English. Call it once the
// application exists.
QTranslator* InstallFrenchTranslations();

// For Qt's file dialog (setProxyModel): its list writes sizes and dates in
// the system's language ("12 bytes", "7 Dec 2026"); this one in French.
QAbstractProxyModel* FrenchFileDetails(QObject* parent);

} // namespace zebrix
