#pragma once
// One zoom factor per window: every control is drawn at its design geometry,
// font and picture size times the window's zoom. The window zooms out to fit
// a small screen and in to fill a maximised window; at zoom 1 everything is
// exactly as designed.
//
// A control's design values are kept with it (a ControlDesign record), so the
// layout table is read once, when the window is built.

#include "core/colors.h"

#include <QPixmap>
#include <QProxyStyle>
#include <QRect>

#include <optional>

class QFont;
class QPixmap;
class QWidget;

namespace qh {

// What a control was designed with, as its layout row gave it.
struct ControlDesign {
    std::optional<QRect> rect; // in its parent's pixels at zoom 1
    int fontPx = 0;            // 0: the control keeps the font it has
    std::optional<QPixmap> picture;
    std::optional<Color> back; // as written in the layout (&H00BBGGRR or a system colour)
    std::optional<Color> fore;
};

// A control's record, or null before anything was recorded for it.
const ControlDesign *designOf(const QWidget &control);
// A control's record, made on first use; it lives as long as the control.
ControlDesign &designFor(QWidget &control);

// A design rectangle (device-independent pixels at zoom 1) at zoom, its edges
// rounded, so that controls that meet in the design still meet.
QRect zoomRect(const QRect &design, double zoom);

// A design size at zoom, rounded.
QSize zoomSize(QSize design, double zoom);

// The largest zoom, at most 1, at which design fits room; 1 when it fits.
double fitZoom(QSize design, QSize room);

// The zoom of the window a control lies on (1 until the window is zoomed).
double zoomOf(const QWidget &control);

// Records a control's design geometry, in its parent's pixels at zoom 1, and
// places it at the window's current zoom. Also for changes at run time.
void setDesignGeometry(QWidget &control, const QRect &design);
// Records the control's font, set in pixels, as its design font and sets it
// at the window's zoom.
void setDesignFont(QWidget &control, const QFont &font);
// Records a picture control's picture (a QLabel), shown at its natural size
// times the zoom, smoothly scaled.
void setDesignPicture(QWidget &control, const QPixmap &picture);

// Places a control (or a LineControl's ends) from its recorded design
// geometry at its window's current zoom.
void placeAtWindowZoom(QWidget &control);

// Sets the window's zoom, with its controls shifted by offset (a zoomed
// layout centred in a larger client area), and re-lays every control out.
void applyZoom(QWidget &window, double zoom, QPoint offset = {});

// The application's style, with the indicators the style draws itself (the
// option buttons' round marks) and their spacing grown with each window's
// zoom above 1, as its texts are: otherwise a maximised window shows
// design-size marks beside five-times-larger text. At zoom 1 and below it is
// the base style.
class ZoomingStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    // The marks are drawn at design size on a finer picture, shown at the
    // zoomed size: some styles (Windows' themes) draw a mark at its own
    // pixel size whatever its rectangle.
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};

} // namespace qh
