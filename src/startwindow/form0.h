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

// The window's layout, rows in stacking order (first on top).
std::span<const ControlSpec<Form0Control>> form0Layout();

class Form0 final : public TableForm<Form0Control> {
public:
    Form0(Platform &platform, WindowSwitcher &switcher, QUrl instructions);

    // The chosen roster's full path (finalname); readable after the window has closed.
    const QString &finalName() const { return m_finalName; }
    // For tools that never open the window (the benchmarks): a roster taken
    // as chosen.
    void presetFinalName(const QString &path) { m_finalName = path; }

    // The roster named on the command line (its arguments after the
    // program's name; see openableArgument), looked for when the window
    // loads. Once its drive answers it is chosen as the teacher would by
    // hand: Drive1 and Dir1 move to its folder, File1 shows that folder and
    // selects the file when it lists it, finalname is set and Command1
    // enabled and focused (so Enter starts). A relative path is taken from
    // the working folder. A box names it when it is no regular file that
    // opens for reading. A file dropped on the window is chosen the same way,
    // without a box.
    void setFileToOpen(const QStringList &arguments) { m_fileToOpen = arguments; }
    // Some drive is still being read for the lists.
    bool isReading() const;

protected:
    void build(FormWindow &window) override;
    bool load() override;
    void forgetControls() override;
    void shown() override;

private:
    void focusFirstControl();
    void onFileSelected(const QString &fileName);
    void onFileFound(const QString &path);
    void setFinalName(const QString &folder, const QString &fileName);
    void openInstructions();

    Platform &m_platform;
    WindowSwitcher &m_switcher;
    QUrl m_instructions;
    QStringList m_fileToOpen;
    QString m_finalName;
    bool m_commandLineAsked = false; // the latest roster looked for came from the command line
    DriveList *m_drive = nullptr;
    DirList *m_dir = nullptr;
    FileList *m_files = nullptr;
};

} // namespace qh
