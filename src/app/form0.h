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

class Form0 final : public Form {
public:
    Form0(Platform &platform, WindowSwitcher &switcher, QUrl instructions);

    // The chosen roster's full path; readable after the window has closed.
    QString finalname;

    const Controls &controls() const { return m_controls; }
    static std::span<const ControlSpec> layout();

protected:
    void build(FormWindow &window) override;
    bool load() override;
    void teardown() override;
    void shown() override;

private:
    void onFileSelected(const QString &fileName);
    void openInstructions();

    Platform &m_platform;
    WindowSwitcher &m_switcher;
    QUrl m_instructions;
    Controls m_controls;
    DriveList *m_drive = nullptr;
    DirList *m_dir = nullptr;
    FileList *m_files = nullptr;
};

} // namespace qh
