#pragma once
// The process set-up, beneath every window so that a window's test starts
// the way the program does; and Qt's own texts (message box buttons, the
// context menus of text boxes, standard dialogs) in Simplified Chinese,
// whatever the desktop's language.

#include <QApplication>
#include <QStringList>

#include <memory>

class QCoreApplication;
class QTranslator;

namespace qh {

// The one process set-up: main(), the pixel tests, the render tool and the
// benchmarks all create their application here, so a picture or a
// measurement shows what a teacher gets. The command line is the program's:
// Qt sees only the program's name (it still takes the display scale,
// platform and style from the environment), so no argument can make Qt drop
// the roster's path, abort, or read a file of its own.
std::unique_ptr<QApplication> createApplication(int &argc, char **argv);

// Where Qt's catalogs are looked for, in order: translations/ beside the
// program (where windeployqt puts them), the resource folder :/translations
// (the one-file Windows build), then Qt's own folder.
QStringList translationFolders(const QString &applicationDir);

// Loads and installs Qt's Chinese catalog; the translator belongs to app.
// Returns it, or null when no catalog was found (Qt's texts stay English).
QTranslator *installTranslations(QCoreApplication &app);

} // namespace qh
