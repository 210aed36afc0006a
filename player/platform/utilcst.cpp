#include "utilcst.h"

#include "popupmenu.h"
#include "zpushbutton.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace
{
// The phone draws its soft keys from named icons; these are ours, drawn in
// the button's own text colour so they follow the style.
QIcon drawnIcon(const QColor& colour, void (*draw)(QPainter&))
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    draw(painter);
    return QIcon(pixmap);
}

void drawMenu(QPainter& painter)
{
    for (int y : {8, 16, 24})
        painter.drawLine(QPointF(6, y), QPointF(26, y));
}

void drawExit(QPainter& painter)
{
    // A door left open, and the way out of it.
    painter.drawPolyline(
        QPolygonF({QPointF(16, 6), QPointF(6, 6), QPointF(6, 26), QPointF(16, 26)}));
    painter.drawLine(QPointF(12, 16), QPointF(27, 16));
    painter.drawPolyline(QPolygonF({QPointF(22, 11), QPointF(27, 16), QPointF(22, 21)}));
}

ZPushButton* iconButton(const QString& iconName, QWidget* parent)
{
    QString caption = iconName;
    void (*draw)(QPainter&) = nullptr;
    if (iconName == QLatin1String("CST_Menu")) {
        caption = QStringLiteral("Menu");
        draw = drawMenu;
    } else if (iconName == QLatin1String("CST_Exit")) {
        caption = QStringLiteral("Exit");
        draw = drawExit;
    }
    auto* button = new ZPushButton(caption, parent);
    if (draw)
        button->setIcon(drawnIcon(button->palette().color(QPalette::ButtonText), draw));
    button->setObjectName(iconName);
    return button;
}
} // namespace

UTIL_CST::UTIL_CST(QWidget* parent, const QString& midCaption, const QString& leftIcon,
                   const QString& rightIcon)
    : QWidget(parent), left_(iconButton(leftIcon, this)), mid_(new ZPushButton(midCaption, this)),
      right_(iconButton(rightIcon, this))
{
    setObjectName(QStringLiteral("softKeyBar"));
    mid_->setObjectName(QStringLiteral("CST_Mid"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    // The middle key's caption is a word longer than the others' beside
    // their icons: it has the room for it.
    for (ZPushButton* b : {left_, mid_, right_}) {
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
        layout->addWidget(b, b == mid_ ? 4 : 3);
    }
    setFixedHeight(barHeight);
    left_->setToolTip(tr("%1: F1 or Menu").arg(left_->text()));
    mid_->setToolTip(tr("Playlists: F2"));
    right_->setToolTip(tr("%1: F3, Escape or Back").arg(right_->text()));
    // Keys that go to an open menu, which the main window never sees.
    qApp->installEventFilter(this);
}

UTIL_CST::~UTIL_CST()
{
    qApp->removeEventFilter(this);
}

ZPushButton* UTIL_CST::button(SoftKey key) const
{
    switch (key) {
    case SoftKey::Left:
        return left_;
    case SoftKey::Middle:
        return mid_;
    case SoftKey::Right:
        return right_;
    case SoftKey::None:
        break;
    }
    return nullptr;
}

void UTIL_CST::fitCaptions()
{
    QFont common = font();
    qreal size = common.pointSizeF();
    for (const ZPushButton* key : {left_, mid_, right_})
        size = std::min(size, key->fittingPointSize(common));
    common.setPointSizeF(size);
    for (ZPushButton* key : {left_, mid_, right_})
        key->setFont(common);
}

bool UTIL_CST::pressKey(std::uint16_t keyCode, bool press, bool autoRepeat, std::uint64_t time)
{
    const bool repeat = holds_.repeats(keyCode, press, autoRepeat, time);
    ZPushButton* key = button(softKeyOf(keyCode));
    if (!key || isHidden())
        return false;
    if (press && !repeat)
        key->pressByKey();
    return true;
}

bool UTIL_CST::eventFilter(QObject* watched, QEvent* event)
{
    const bool keyEvent = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    auto* menu = keyEvent ? qobject_cast<QMenu*>(watched) : nullptr;
    if (!menu)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const std::uint16_t code = phoneKeyCode(key->key());
    const bool repeat = holds_.repeats(code, event->type() == QEvent::KeyPress, key->isAutoRepeat(),
                                       key->timestamp());
    if (event->type() == QEvent::KeyRelease)
        return QWidget::eventFilter(watched, event);
    // A held key that closes or switches menus does so once: its repeats
    // would close the next level, or open and close the menu by turns.
    if (repeat && (softKeyOf(code) != SoftKey::None || code == PhoneKey::Key_Back))
        return true;
    if (code == PhoneKey::Key_Back) {
        // As Escape: one level up.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &escape);
        return true;
    }
    const SoftKey softKey = softKeyOf(code);
    if (softKey == SoftKey::None || code == PhoneKey::Key_Escape)
        return QWidget::eventFilter(watched, event);
    ZPushButton* pressed = button(softKey);
    const bool ownOpen = pressed->popup() && pressed->popup()->menu()->isVisible();
    for (int open = 0; open < 8 && QApplication::activePopupWidget(); ++open)
        QApplication::activePopupWidget()->close();
    if (!ownOpen && pressed->popup())
        pressed->pressByKey();
    return true;
}
