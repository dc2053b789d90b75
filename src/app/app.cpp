#include "app/app.h"

#include "core/platform.h"

namespace qh {

App::App(Platform &platform) : m_platform(platform) {}

void App::add(FormId id, Form &form)
{
    m_forms[static_cast<size_t>(id)] = &form;
    form.setHeldKeys(&m_heldKeys);
    form.onClosedByUser = [this, &form] {
        // A close through the frame leaves no window open: the program ends.
        if (m_current == &form) {
            m_current = nullptr;
            form.close();
        }
        m_platform.endProcess();
    };
}

void App::start(FormId first)
{
    switchTo(first);
}

void App::switchTo(FormId next)
{
    Form *target = form(next);
    Q_ASSERT(target);
    if (!target)
        return;
    if (m_current)
        m_current->close();
    m_current = target;
    if (!target->open())
        m_current = nullptr; // its load ended the process
}

} // namespace qh
