#pragma once

#include <QPushButton>

class PopupMenu;

// A soft key. With a popup attached, pressing it opens the popup above the
// key, the way the phone's soft-key menus rise from the bottom of the screen.
class ZPushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit ZPushButton(const QString& text, QWidget* parent = nullptr);

    void setPopup(PopupMenu* popup);
    PopupMenu* popup() const { return popup_; }

private:
    void openPopup();

    PopupMenu* popup_ = nullptr;
};
