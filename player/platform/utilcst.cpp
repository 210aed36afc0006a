#include "utilcst.h"

#include "zpushbutton.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

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
    for (ZPushButton* b : {left_, mid_, right_}) {
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
        layout->addWidget(b, 1);
    }
    setFixedHeight(barHeight);
}
