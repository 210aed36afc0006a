#include "zpushbutton.h"

#include "popupmenu.h"
#include "utilcst.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

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

// Fitted once the key shows at its size: a size the layout passes on the
// way there would load a font for nothing.
void ZPushButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    if (isVisible())
        fitText();
}

void ZPushButton::showEvent(QShowEvent* event)
{
    fitText();
    QPushButton::showEvent(event);
}

int ZPushButton::roomForText() const
{
    int room = width() - 2 * style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this) -
               2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    if (!icon().isNull())
        room -= iconSize().width() + 4;
    return room;
}

qreal ZPushButton::fittingPointSize(const QFont& base) const
{
    // A caption's width grows with the font's size, so one measurement
    // tells the size that fits. Small sizes' glyphs are hinted a little
    // wider than in step, hence the margin; each size tried loads a font.
    constexpr qreal smallest = 6.0;
    constexpr qreal hintingMargin = 0.92;
    const int room = roomForText();
    const qreal size = base.pointSizeF();
    if (room <= 0 || size <= smallest)
        return size;
    // Measured for this key's screen, as it will be painted.
    const int wide = QFontMetrics(base, this).horizontalAdvance(text());
    if (wide <= room)
        return size;
    QFont font = base;
    qreal fitting = std::max(smallest, std::floor(2 * size * room * hintingMargin / wide) / 2);
    font.setPointSizeF(fitting);
    while (fitting > smallest && QFontMetrics(font, this).horizontalAdvance(text()) > room)
        font.setPointSizeF(fitting = std::max(smallest, fitting - 0.5));
    return fitting;
}

void ZPushButton::fitText()
{
    // A caption longer than the smallest size holds loses its end, never
    // its start.
    if (auto* bar = qobject_cast<UTIL_CST*>(parentWidget())) {
        bar->fitCaptions();
        return;
    }
    QFont font = parentWidget() ? parentWidget()->font() : QApplication::font();
    font.setPointSizeF(fittingPointSize(font));
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

void ZPushButton::pressByKey()
{
    if (popup_)
        popup_->popupAbove(mapToGlobal(QPoint(0, 0)), true);
    else
        click();
}
