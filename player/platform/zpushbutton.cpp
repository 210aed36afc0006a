#include "zpushbutton.h"

#include "popupmenu.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

ZPushButton::ZPushButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QPushButton::clicked, this, &ZPushButton::openPopup);
}

void ZPushButton::setPopup(PopupMenu* popup)
{
    popup_ = popup;
}

void ZPushButton::setText(const QString& text)
{
    QPushButton::setText(text);
    fitText();
}

void ZPushButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    fitText();
}

int ZPushButton::roomForText() const
{
    int room = width() - 2 * style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this) -
               2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    if (!icon().isNull())
        room -= iconSize().width() + 4;
    return room;
}

void ZPushButton::fitText()
{
    // From the font the key would have, down in half points to the
    // smallest that is still legible on the phone; a caption longer still
    // loses its end, never its start.
    QFont font = parentWidget() ? parentWidget()->font() : QApplication::font();
    constexpr qreal smallest = 6.0;
    const int room = roomForText();
    // Measured for this key's screen, and as the painting elides it.
    while (QFontMetrics(font, this).elidedText(text(), Qt::ElideRight, room) != text() &&
           font.pointSizeF() > smallest)
        font.setPointSizeF(std::max(smallest, font.pointSizeF() - 0.5));
    setFont(font);
}

QString ZPushButton::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, roomForText());
}

void ZPushButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = shownText();
    painter.drawControl(QStyle::CE_PushButton, option);
}

void ZPushButton::openPopup()
{
    if (popup_)
        popup_->popupAbove(mapToGlobal(QPoint(0, 0)));
}
