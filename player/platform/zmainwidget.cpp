#include "zmainwidget.h"

#include "phonekeys.h"
#include "utilcst.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace
{
// Where the toolkit draws on the display itself (a phone, a board), the
// window is that screen; elsewhere it is a window of the phone's size.
const QScreen* deviceScreen()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("linuxfb") || platform == QLatin1String("eglfs"))
        return QGuiApplication::primaryScreen();
    return nullptr;
}

// The soft keys keep their height, but take no more than a quarter of a
// short screen (a landscape one).
int softKeyBarHeight(const QSize& screen)
{
    return std::min(ZMainWidget::softKeyHeight, screen.height() / 4);
}
} // namespace

ZMainWidget::ZMainWidget(bool /*editMode*/, QWidget* parent, const char* name, unsigned int flags)
    : QWidget(parent, Qt::WindowFlags(static_cast<int>(flags)))
{
    if (name)
        setObjectName(QString::fromLatin1(name));
    setWindowTitle(QStringLiteral("Tarragon"));
    if (const QScreen* screen = deviceScreen()) {
        setFixedSize(screen->size());
        move(screen->geometry().topLeft());
    } else {
        setFixedSize(phoneScreen);
    }
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
    widget->setGeometry(contentArea());
    widget->show();
}

QRect ZMainWidget::contentArea() const
{
    return QRect(0, 0, width(), height() - softKeyBarHeight(size()));
}

void ZMainWidget::setCSTWidget(QWidget* widget)
{
    cst_ = widget;
    if (!widget)
        return;
    widget->setParent(this);
    const int barHeight = softKeyBarHeight(size());
    widget->setFixedHeight(barHeight);
    widget->setGeometry(0, height() - barHeight, width(), barHeight);
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

bool ZMainWidget::qwsEvent(WSEvent* event)
{
    // The framework's own handling: the soft keys' keys.
    auto* softKeys = qobject_cast<UTIL_CST*>(cst_.data());
    return event->type == WSEvent::Key && softKeys &&
           softKeys->pressKey(event->keyCode, event->isPress, event->isAutoRepeat, event->time);
}

bool ZMainWidget::eventFilter(QObject* watched, QEvent* event)
{
    // Only the window object itself: widgets see the same key again as it
    // propagates, and the hook must see it once.
    if (watched != hooked_)
        return QWidget::eventFilter(watched, event);
    // An open menu has the keyboard, as it had on the phone. On a
    // framebuffer its keys still come to this window first, for the toolkit
    // to hand on: they are the menu's, not this window's.
    if (QApplication::activePopupWidget())
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
        ws.time = key->timestamp();
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
