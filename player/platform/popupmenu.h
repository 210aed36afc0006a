#pragma once

#include <QObject>
#include <QString>

#include <vector>

class QAction;
class QMenu;
class QWidget;

// A popup menu whose items are known by integer identifiers, as the phone's
// toolkit has them. A chosen item emits activated() of the menu that holds it
// (never of a parent menu) with the item's identifier. Check marks change
// only through setItemChecked(), never by choosing an item.
class PopupMenu : public QObject
{
    Q_OBJECT
public:
    explicit PopupMenu(QWidget* parent = nullptr);
    ~PopupMenu() override;

    // id -1 assigns a fresh negative identifier; index -1 appends.
    int insertItem(const QString& text, int id = -1, int index = -1);
    int insertItem(const QString& text, PopupMenu* submenu, int id = -1, int index = -1);
    void insertSeparator(int index = -1);

    void changeItem(int id, const QString& text);
    QString text(int id) const;
    void setItemChecked(int id, bool checked);
    bool isItemChecked(int id) const;

    // Separators count as items, as in the phone's toolkit.
    int count() const;
    int idAt(int index) const;
    int indexOf(int id) const;
    QAction* action(int id) const;

    QMenu* menu() const { return menu_; }
    // Opens the menu with its bottom-left corner at the given global point,
    // with its first item highlighted when asked.
    void popupAbove(const QPoint& globalBottomLeft, bool highlightFirst = false);

signals:
    void activated(int id);

private:
    struct Item {
        int id;
        QAction* action;
    };
    void insertAction(QAction* action, int id, int index);
    const Item* find(int id) const;

    QMenu* menu_;
    std::vector<Item> items_;
};
