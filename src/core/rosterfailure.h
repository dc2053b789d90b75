#pragma once
// What a window does when its roster cannot be loaded: a modal box that says
// why, then the end of the process.

#include "core/platform.h"
#include "core/roster.h"

#include <QDir>

namespace qh {

// The box for a roster file that cannot be opened, naming it (also shown,
// without ending anything, for a roster given on the command line).
inline void showCannotOpen(Platform &platform, const QString &path)
{
    platform.showMessage(QStringLiteral("青禾抽签"), QStringLiteral("无法打开名单文件：") + QDir::toNativeSeparators(path));
}

inline void reportRosterFailure(Platform &platform, RosterStatus status, const QString &path)
{
    if (status == RosterStatus::CannotOpen)
        showCannotOpen(platform, path);
    else
        platform.showMessage(QStringLiteral("名单文件出错提示"),
                             QStringLiteral("文件格式错误,或光标不在最后一行,或学生数超过82"));
    platform.endProcess();
}

} // namespace qh
