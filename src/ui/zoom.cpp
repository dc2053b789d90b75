#include "ui/zoom.h"

#include "ui/linecontrol.h"

#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace qh {

namespace {

// The records ride on their widgets as child objects: each dies with its
// widget, and a widget's own children are few, so finding one is cheap.
class DesignHolder final : public QObject {
public:
    using QObject::QObject;
    ControlDesign design;
};

struct WindowZoom {
    double zoom = 1.0;
    QPoint offset;
};

class ZoomHolder final : public QObject {
public:
    using QObject::QObject;
    WindowZoom zoom;
};

// Not findChild: without a meta-object of their own the holders would match
// any plain QObject child (an event filter, say).
template<typename Holder>
Holder *holderOf(const QObject &owner)
{
    // From the back: a holder is made after its owner's own children.
    const QObjectList &children = owner.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (auto *holder = dynamic_cast<Holder *>(*it))
            return holder;
    return nullptr;
}

const WindowZoom *zoomRecordOf(const QWidget &window)
{
    const auto *holder = holderOf<ZoomHolder>(window);
    return holder ? &holder->zoom : nullptr;
}

int zoomed(int v, double zoom)
{
    return static_cast<int>(std::lround(v * zoom));
}

QPoint zoomPoint(QPoint p, double zoom)
{
    return QPoint(zoomed(p.x(), zoom), zoomed(p.y(), zoom));
}

// Only the window's own children move with the centring offset; a frame's
// controls move with their frame.
QPoint offsetFor(const QWidget &control)
{
    const QWidget *top = control.window();
    if (control.parentWidget() != top || top == &control)
        return {};
    const WindowZoom *z = zoomRecordOf(*top);
    return z ? z->offset : QPoint();
}

void placeAtZoom(QWidget &control, double zoom)
{
    const QPoint offset = offsetFor(control);
    if (auto *line = qobject_cast<LineControl *>(&control)) {
        line->setEnds(zoomPoint(line->designFrom(), zoom) + offset, zoomPoint(line->designTo(), zoom) + offset);
        return;
    }
    const ControlDesign *design = designOf(control);
    if (design && design->rect)
        control.setGeometry(zoomRect(*design->rect, zoom).translated(offset));
}

void fontAtZoom(QWidget &control, double zoom)
{
    const ControlDesign *design = designOf(control);
    const int designPx = design ? design->fontPx : 0;
    if (designPx <= 0)
        return;
    const int px = std::max(1, zoomed(designPx, zoom));
    if (control.font().pixelSize() == px)
        return;
    QFont f = control.font();
    f.setPixelSize(px);
    control.setFont(f);
}

void pictureAtZoom(QWidget &control, double zoom)
{
    auto *label = qobject_cast<QLabel *>(&control);
    const ControlDesign *design = designOf(control);
    if (!label || !design || !design->picture)
        return;
    const QPixmap &picture = *design->picture;
    if (zoom == 1.0 || picture.isNull()) {
        label->setPixmap(picture);
        return;
    }
    // Scaled once, smoothly, to the device pixels it covers.
    const qreal dpr = control.devicePixelRatioF();
    QPixmap scaled = picture.scaled(control.size() * dpr, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(dpr);
    label->setPixmap(scaled);
}

} // namespace

const ControlDesign *designOf(const QWidget &control)
{
    const auto *holder = holderOf<DesignHolder>(control);
    return holder ? &holder->design : nullptr;
}

ControlDesign &designFor(QWidget &control)
{
    auto *holder = holderOf<DesignHolder>(control);
    if (!holder)
        holder = new DesignHolder(&control);
    return holder->design;
}

QRect zoomRect(const QRect &design, double zoom)
{
    const int left = zoomed(design.left(), zoom);
    const int top = zoomed(design.top(), zoom);
    return QRect(left, top, zoomed(design.left() + design.width(), zoom) - left,
                 zoomed(design.top() + design.height(), zoom) - top);
}

QSize zoomSize(QSize design, double zoom)
{
    return QSize(zoomed(design.width(), zoom), zoomed(design.height(), zoom));
}

double fitZoom(QSize design, QSize room)
{
    if (design.isEmpty())
        return 1.0;
    return std::clamp(std::min(double(room.width()) / design.width(), double(room.height()) / design.height()),
                      0.0, 1.0);
}

double zoomOf(const QWidget &control)
{
    const WindowZoom *z = zoomRecordOf(*control.window());
    return z ? z->zoom : 1.0;
}

void setDesignGeometry(QWidget &control, const QRect &design)
{
    designFor(control).rect = design;
    placeAtZoom(control, zoomOf(control));
}

void setDesignFont(QWidget &control, const QFont &font)
{
    control.setFont(font);
    designFor(control).fontPx = font.pixelSize();
    const double zoom = zoomOf(control);
    if (zoom != 1.0)
        fontAtZoom(control, zoom);
}

void setDesignPicture(QWidget &control, const QPixmap &picture)
{
    designFor(control).picture = picture;
    pictureAtZoom(control, zoomOf(control));
}

void placeAtWindowZoom(QWidget &control)
{
    placeAtZoom(control, zoomOf(control));
}

int ZoomingStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_RadioButtonLabelSpacing:
    case PM_CheckBoxLabelSpacing:
        // Grown only: below design size the style's mark is left as drawn
        // (some styles draw it from fixed outlines).
        return widget ? zoomed(base, std::max(1.0, zoomOf(*widget))) : base;
    default:
        return base;
    }
}

void ZoomingStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    const bool radio = element == PE_IndicatorRadioButton;
    const double zoom = widget ? zoomOf(*widget) : 1.0;
    if ((!radio && element != PE_IndicatorCheckBox) || zoom <= 1.0 || !option) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Without the widget the base style measures at design size.
    const QSize design(QProxyStyle::pixelMetric(radio ? PM_ExclusiveIndicatorWidth : PM_IndicatorWidth, option),
                       QProxyStyle::pixelMetric(radio ? PM_ExclusiveIndicatorHeight : PM_IndicatorHeight, option));
    const auto drawnAt = [&](qreal ratio) {
        QPixmap picture(QSize(static_cast<int>(std::ceil(design.width() * ratio)),
                              static_cast<int>(std::ceil(design.height() * ratio))));
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QStyleOptionButton atDesign;
        static_cast<QStyleOption &>(atDesign) = *option;
        atDesign.rect = QRect(QPoint(), design);
        QPainter p(&picture);
        QProxyStyle::drawPrimitive(element, &atDesign, &p, nullptr);
        return picture;
    };
    const qreal deviceRatio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap picture = drawnAt(deviceRatio * zoom);
    // A style that drew at its own pixel size left most of the picture empty:
    // its design-size mark is scaled up instead.
    const QImage image = picture.toImage();
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    if (right - left + 1 < image.width() * 0.6)
        picture = drawnAt(deviceRatio);
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(option->rect, picture);
    painter->restore();
}

void applyZoom(QWidget &window, double zoom, QPoint offset)
{
    auto *holder = holderOf<ZoomHolder>(window);
    if (!holder)
        holder = new ZoomHolder(&window);
    if (holder->zoom.zoom == zoom && holder->zoom.offset == offset)
        return;
    holder->zoom = {zoom, offset};
    const QList<QWidget *> controls = window.findChildren<QWidget *>();
    for (QWidget *c : controls) {
        if (c->isWindow())
            continue;
        placeAtZoom(*c, zoom);
        fontAtZoom(*c, zoom);
    }
    // Pictures after their geometry: they are scaled to it.
    for (QWidget *c : controls)
        if (!c->isWindow())
            pictureAtZoom(*c, zoom);
}

} // namespace qh
