#include "zmainwidget.h"

#include "phonekeys.h"

#include <QKeyEvent>
#include <QWindow>

ZMainWidget::ZMainWidget(bool /*editMode*/, QWidget* parent, const char* name, unsigned int flags)
    : QWidget(parent, Qt::WindowFlags(static_cast<int>(flags)))
{
    if (name)
        setObjectName(QString::fromLatin1(name));
    setWindowTitle(QStringLiteral("Tarragon"));
    setFixedSize(screenWidth, screenHeight);
    if (!parent) {
        create();
        installHook();
    }
}

ZMainWidget::~ZMainWidget()
{
    if (hooked_)
        hooked_->removeEventFilter(this);
}

void ZMainWidget::installHook()
{
    QWindow* window = windowHandle();
    if (!window || hooked_ == window)
        return;
    if (hooked_)
        hooked_->removeEventFilter(this);
    window->installEventFilter(this);
    hooked_ = window;
}

void ZMainWidget::showEvent(QShowEvent* event)
{
    installHook();
    QWidget::showEvent(event);
}

void ZMainWidget::setContentWidget(QWidget* widget)
{
    content_ = widget;
    if (!widget)
        return;
    widget->setParent(this);
    widget->setGeometry(0, 0, screenWidth, screenHeight - 80);
    widget->show();
}

void ZMainWidget::setCSTWidget(QWidget* widget)
{
    cst_ = widget;
    if (!widget)
        return;
    widget->setParent(this);
    const int height =
        widget->height() > 0 && widget->height() < screenHeight ? widget->height() : 80;
    widget->setGeometry(0, screenHeight - height, screenWidth, height);
    widget->raise();
}

void ZMainWidget::showFullScreen()
{
    phoneFullScreen_ = true;
    show();
    raise();
    activateWindow();
}

void ZMainWidget::showNormal()
{
    phoneFullScreen_ = false;
    show();
    raise();
    activateWindow();
}

bool ZMainWidget::qwsEvent(WSEvent* /*event*/)
{
    return false;
}

bool ZMainWidget::eventFilter(QObject* watched, QEvent* event)
{
    // Only the window object itself: widgets see the same key again as it
    // propagates, and the hook must see it once.
    if (watched != hooked_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        WSEvent ws;
        ws.type = WSEvent::Key;
        ws.keyCode = phoneKeyCode(key->key());
        ws.isPress = event->type() == QEvent::KeyPress;
        ws.isAutoRepeat = key->isAutoRepeat();
        return qwsEvent(&ws);
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        WSEvent ws;
        ws.type = WSEvent::Mouse;
        ws.isPress = event->type() == QEvent::MouseButtonPress;
        return qwsEvent(&ws);
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}
