#pragma once

#include <QPointer>
#include <QWidget>

#include "wsevent.h"

// The phone's main-window base: its screen with a content area above the
// soft-key bar, and a hook that sees the window's raw key events before any
// widget does. On a desktop the screen is the phone's 240x320; on a device,
// where the toolkit draws on the display itself, it is the whole display,
// whatever its size.
class ZMainWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize phoneScreen{240, 320};
    static constexpr int softKeyHeight = 80;

    ZMainWidget(bool editMode, QWidget* parent, const char* name, unsigned int flags);
    ~ZMainWidget() override;

    void setContentWidget(QWidget* widget);
    void setCSTWidget(QWidget* widget);
    QWidget* getCSTWidget() const { return cst_; }

    // The whole screen, and the content area above the soft keys.
    QRect screenArea() const { return rect(); }
    QRect contentArea() const;

    // Full screen on the phone is the whole screen; on a desktop the window
    // keeps its size and never takes over the monitor.
    void showFullScreen();
    void showNormal();
    bool isPhoneFullScreen() const { return phoneFullScreen_; }

    // Sees every key press and release of this window once, before any
    // widget. True stops the event; false lets the toolkit handle it.
    virtual bool qwsEvent(WSEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void installHook();

    QPointer<QWidget> content_;
    QPointer<QWidget> cst_;
    QPointer<QObject> hooked_;
    bool phoneFullScreen_ = false;
};
