#pragma once

#include <QPointer>
#include <QWidget>

#include "wsevent.h"

// The phone's main-window base: a 240x320 screen with a content area above
// the soft-key bar, and a hook that sees the window's raw key events before
// any widget does.
class ZMainWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int screenWidth = 240;
    static constexpr int screenHeight = 320;

    ZMainWidget(bool editMode, QWidget* parent, const char* name, unsigned int flags);
    ~ZMainWidget() override;

    void setContentWidget(QWidget* widget);
    void setCSTWidget(QWidget* widget);
    QWidget* getCSTWidget() const { return cst_; }

    // Full screen on the phone is the whole 240x320 screen; on a desktop the
    // window keeps its size and never takes over the monitor.
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
