#pragma once
// A window of the program: a state object that lives for the whole process and
// whose widgets are built from the layout table when it opens and destroyed
// when it closes. Subclasses build their controls and run their load step.

#include "ui/controls.h"
#include "ui/formid.h"
#include "core/colors.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace qh {

class HeldKeys;

// The top-level widget of an open form. A close through the title bar is
// reported; a close by the program (a switch of window) destroys it silently.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(QWidget *parent = nullptr);

    // The client area's colour. It is painted, not put in the palette: every
    // control inherits the window's palette, and a new palette for each
    // opening would make the style cache a new face for every button ever built.
    void setBackground(Color color);
    Color background() const { return m_background; }

    // On Windows a mouse or touch press on this button does not activate the
    // window, so the window in front (a slide show) keeps the keyboard; a press
    // elsewhere activates it as usual. Other systems ignore it.
    void setNoActivateButton(QWidget *button) { m_noActivate = button; }
    QWidget *noActivateButton() const { return m_noActivate; }

    // The application's memory of held keys, for the window's Enter filter.
    void setHeldKeys(HeldKeys *keys) { m_heldKeys = keys; }
    HeldKeys *heldKeys() const { return m_heldKeys; }

    // The client size at zoom 1. The window's zoom follows its client size:
    // the whole layout is scaled by one factor to the largest size that fits,
    // aspect kept, centred on the background (ui/zoom.h).
    void setDesignSize(QSize size);
    QSize designSize() const { return m_design; }
    // Lays the controls out for a client area of that size.
    void zoomTo(QSize client);
    // Places the window on its screen (fitAndCentre) with a guessed frame,
    // and again once, with the real one, as soon as the platform reports it
    // (placeWithRealFrame, also run on the window's moves and resizes): a
    // window manager may frame the window only some time after it is shown.
    void placeWithGuessedFrame(bool resizable, QMargins guessedFrame);
    void placeWithRealFrame();
    // The frame around the client area; null while the platform has not said.
    QMargins frameMargins() const;

signals:
    void closedByUser();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
#ifdef Q_OS_WIN
    // In windowsdesktop.cpp.
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
#endif

private:
    Color m_background = colors::ButtonFace;
    QPointer<QWidget> m_noActivate;
    HeldKeys *m_heldKeys = nullptr;
    QSize m_design;
    bool m_resizable = false;
    QMargins m_guessedFrame; // null once the real frame has been used
};

class Form {
public:
    explicit Form(QString objectName);
    virtual ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    // Builds the window, runs the load step, then shows it. Returns false (and
    // shows nothing) when the load step ended the process.
    bool open();
    // Destroys the window and its controls; the state object keeps its members.
    void close();

    bool isOpen() const { return !m_window.isNull(); }
    FormWindow *window() const { return m_window.data(); }
    const QString &objectName() const { return m_objectName; }

    // Called when the teacher closes the window through its frame.
    std::function<void()> onClosedByUser;
    // The held keys every window shares (ui/enterkey.h); set by the switcher.
    void setHeldKeys(HeldKeys *keys) { m_heldKeys = keys; }

protected:
    // Creates the controls from the layout table as children of window.
    virtual void build(FormWindow &window) = 0;
    // The load step; false when it ended the process (the window is then not shown).
    virtual bool load() = 0;
    // Drops pointers to controls; called before the widgets are destroyed.
    virtual void teardown() {}
    // Called after the window has been shown (e.g. to place the focus).
    virtual void shown() {}
    // Hook for window flags that must be in place before the first show.
    virtual Qt::WindowFlags extraWindowFlags() const { return {}; }
    // Whether the window can be maximised (or put full screen with F11),
    // its layout then zoomed to fill the screen.
    virtual bool maximisable() const { return false; }

private:
    QString m_objectName;
    QPointer<FormWindow> m_window;
    HeldKeys *m_heldKeys = nullptr;
    // Maximised or full screen as the teacher last left it, for the run only.
    Qt::WindowStates m_lastState;
};

// A window built from its constant layout table, whose rows name their
// controls by Id: it owns the controls built from the table and forgets them
// before its widgets go.
template <ControlId Id>
class TableForm : public Form {
public:
    using Form::Form;
    const Controls<Id> &controls() const { return m_controls; }

protected:
    // Creates the controls of the table as children of window.
    void buildFrom(FormWindow &window, std::span<const ControlSpec<Id>> table)
    {
        m_controls = buildControls(window, table);
    }
    template <class T>
    T *control(Id id, int index = -1) const { return m_controls.template get<T>(id, index); }
    // Drops the window's own pointers to its controls.
    virtual void forgetControls() {}

private:
    void teardown() final
    {
        forgetControls();
        m_controls.clear();
    }

    Controls<Id> m_controls;
};

// A window whose state describes what its controls show in a View: the
// controls built from the table show its first view, and each new view is
// applied by what changed since the view last shown.
template <ControlId Id, class View>
class ViewForm : public TableForm<Id> {
public:
    using TableForm<Id>::TableForm;

protected:
    // The fresh controls show `first`; returns it.
    const View &setFirstView(View first) { return m_shown = std::move(first); }
    void showView(const View &now)
    {
        if (!this->window())
            return;
        applyChanges(now, m_shown);
        m_shown = now;
    }
    // Sets only the properties that differ between now and was.
    virtual void applyChanges(const View &now, const View &was) = 0;
    // What the widgets show right now.
    View &lastShown() { return m_shown; }

private:
    View m_shown;
};

// Sizes a window to its design size, zoomed out where that does not fit the
// available area of its screen with a frame of frameMargins, and centres it
// there, its frame wholly inside. A resizable window may grow from that size.
void fitAndCentre(FormWindow &window, bool resizable, QMargins frameMargins);

} // namespace qh

namespace qh {

class Platform;
class Clock;
class RandomSource;

// What a mode window is given: no singletons, everything passed in.
struct FormContext {
    Platform &platform;
    Clock &clock;
    RandomSource &random;
    WindowSwitcher &switcher;
    std::function<QString()> rosterPath; // the start window's finalname
};

} // namespace qh
