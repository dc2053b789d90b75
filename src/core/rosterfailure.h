#pragma once
// What a window does when its roster cannot be loaded: the modal box titled
// "名单文件出错提示", then the end of the process.

#include "core/platform.h"

namespace qh {

inline void reportRosterFailure(Platform &platform)
{
    platform.showMessage(QStringLiteral("名单文件出错提示"),
                         QStringLiteral("文件格式错误,或光标不在最后一行,或学生数超过82"));
    platform.endProcess();
}

} // namespace qh
