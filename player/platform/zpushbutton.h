#pragma once

#include <QPushButton>

class PopupMenu;

// A soft key. With a popup attached, pressing it opens the popup above the
// key, the way the phone's soft-key menus rise from the bottom of the screen.
// Its caption shrinks to fit the key, whatever the device's fonts; in a
// soft-key bar, all the bar's captions share one size.
class ZPushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit ZPushButton(const QString& text, QWidget* parent = nullptr);

    void setPopup(PopupMenu* popup);
    void setText(const QString& text);
    // The key's press: as a tap, but a menu opens ready for the keys, its
    // first item highlighted.
    void pressByKey();
    PopupMenu* popup() const { return popup_; }
    // Width left for the caption, beside the icon and inside the frame.
    int roomForText() const;
    // The caption as it shows: elided at its end when even the smallest
    // font leaves it too long.
    QString shownText() const;
    // The largest size, at most base's and in half points, at which the
    // caption fits; never below the smallest legible on the phone.
    qreal fittingPointSize(const QFont& base) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void openPopup();
    void fitText();

    PopupMenu* popup_ = nullptr;
};
