#include "zpushbutton.h"

#include "popupmenu.h"

ZPushButton::ZPushButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QPushButton::clicked, this, &ZPushButton::openPopup);
}

void ZPushButton::setPopup(PopupMenu* popup)
{
    popup_ = popup;
}

void ZPushButton::openPopup()
{
    if (popup_)
        popup_->popupAbove(mapToGlobal(QPoint(0, 0)));
}
