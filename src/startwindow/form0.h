#pragma once
// The start window: the teacher picks the roster file and starts.

#include "ui/controls.h"
#include "ui/form.h"

#include <QUrl>

namespace qh {

class Platform;
class DriveList;
class DirList;
class FileList;

// The window's controls, as its code finds them (the layout name stays the objectName).
enum class Form0Control { Exit, Files, Folders, Drives, Start, Corner, Rule, CornerLabel, Title, Motto, Emblem, Photo,
                          Link };

class Form0 final : public Form {
public:
    Form0(Platform &platform, WindowSwitcher &switcher, QUrl instructions);

    // The chosen roster's full path; readable after the window has closed.
    QString finalname;

    // Chooses the file at path as the teacher would by hand: Drive1 and Dir1
    // move to its folder, File1 shows that folder and selects the file when it
    // lists it, finalname is set and Command1 enabled and focused (so Enter
    // starts). A relative path is taken
    // from the working folder. False, and nothing changes, unless path is a
    // regular file that opens for reading.
    bool chooseFile(const QString &path);
    // A file named on the command line, chosen when the window loads; a box
    // names it when it cannot be opened.
    void setFileToOpen(const QString &path) { m_fileToOpen = path; }

    const Controls &controls() const { return m_controls; }
    static std::span<const ControlSpec> layout();

protected:
    void build(FormWindow &window) override;
    bool load() override;
    void teardown() override;
    void shown() override;

private:
    void focusFirstControl();
    void onFileSelected(const QString &fileName);
    void setFinalName(const QString &folder, const QString &fileName);
    void openInstructions();

    Platform &m_platform;
    WindowSwitcher &m_switcher;
    QUrl m_instructions;
    QString m_fileToOpen;
    Controls m_controls;
    DriveList *m_drive = nullptr;
    DirList *m_dir = nullptr;
    FileList *m_files = nullptr;
};

} // namespace qh
