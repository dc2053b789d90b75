#pragma once
// Qt's own texts (message box buttons, the context menus of text boxes,
// standard dialogs) in Simplified Chinese, whatever the desktop's language.

#include <QStringList>

class QCoreApplication;
class QTranslator;

namespace qh {

// Where Qt's catalogs are looked for, in order: translations/ beside the
// program (where windeployqt puts them), then Qt's own folder.
QStringList translationFolders(const QString &applicationDir);

// Loads and installs Qt's Chinese catalog; the translator belongs to app.
// Returns it, or null when no catalog was found (Qt's texts stay English).
QTranslator *installTranslations(QCoreApplication &app);

} // namespace qh
