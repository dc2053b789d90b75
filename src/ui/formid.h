#pragma once
// The program's windows and the switching between them: the start window
// opens the seat chart, the two mode windows open each other. The switcher is
// the application (app/app.h, a layer above); a window only asks it for the
// next window.

namespace qh {

// The program's windows, by their layout names' numbers.
enum class FormId { Start = 0, SingleDraw = 1, SeatChart = 2 };

// Closes the open window and opens another; owned by the application.
class WindowSwitcher {
public:
    virtual ~WindowSwitcher() = default;
    virtual void switchTo(FormId next) = 0;
};

} // namespace qh
