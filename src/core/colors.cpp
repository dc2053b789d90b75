#include "core/colors.h"

namespace qh {

QPalette::ColorRole systemColorRole(int index)
{
    switch (index) {
    case 0x0F: return QPalette::Button;     // button face
    case 0x12: return QPalette::ButtonText; // button text
    case 0x05: return QPalette::Base;       // window background (list and text boxes)
    case 0x08: return QPalette::Text;       // window text
    default: return QPalette::NoRole;
    }
}

QColor toQColor(Color color, const QPalette &palette)
{
    if (color.isSystem()) {
        const QPalette::ColorRole role = systemColorRole(color.systemIndex());
        return role == QPalette::NoRole ? QColor(Qt::black) : palette.color(QPalette::Active, role);
    }
    const std::uint32_t v = color.value;
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

} // namespace qh
