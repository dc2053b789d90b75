#pragma once
// Opens the program's windows one at a time. Only one window is open at any
// moment; the program ends when the teacher closes that window through its
// frame, or through an exit button. Switching opens the next window in the
// same handler that closed the last, and the application does not quit on
// "last window closed", so no gap between the two can end the process.

#include "ui/enterkey.h"
#include "ui/form.h"

#include <array>

namespace qh {

class Platform;

class App final : public WindowSwitcher {
public:
    explicit App(Platform &platform);

    void add(FormId id, Form &form);
    // Opens the first window.
    void start(FormId first);
    void switchTo(FormId next) override;

    Form *current() const { return m_current; }
    Form *form(FormId id) const { return m_forms[static_cast<size_t>(id)]; }

private:
    Platform &m_platform;
    std::array<Form *, 3> m_forms{};
    Form *m_current = nullptr;
    // One memory of held keys for all windows: a key that switched windows
    // does nothing in the next one until it is released.
    HeldKeys m_heldKeys;
};

} // namespace qh
