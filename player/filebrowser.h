#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QListWidget>
#include <QString>

#include <array>

// The list of one directory's media files (browse view) or one playlist's
// entries (playlist view), and the current media path it keeps.
class FileBrowser : public QListWidget
{
    Q_OBJECT
public:
    static constexpr const char* notAFile = "not_a_file";
    static const QByteArray mediaFilter;

    FileBrowser(QWidget* parent, const char* name);
    ~FileBrowser() override;

    // Paths are the file system's bytes; rows show them decoded.
    void listDirectory(const QByteArray& path);
    void listDirectory(const QString& path) { listDirectory(QFile::encodeName(path)); }
    void leavePlaylistView();
    void openPlaylist(const QByteArray& path);
    void removeFromPlaylist();
    void enterFullScreen();
    void leaveFullScreen();

    // Canonical path of the directory last listed; null before the first.
    QByteArray currentDir;
    // The open playlist's lines, as the bytes read, in file order.
    QList<QByteArray> playlistLines;
    // Row of the latest highlight, in either view; -1 before the first.
    int currentIndex = -1;
    // The highlighted regular file, the open playlist file, or "not_a_file",
    // as the file system's bytes with a terminating NUL; as long as the
    // path is (the options record keeps it only where it fits).
    QByteArray mediaPath;
    QByteArray playlistFile;
    bool ignoreMouse = false;
    bool playlistView = false;

signals:
    void picked(const QString& path);
    // After focusLost is set: the player's tick must come to see it.
    void lostFocus();

private slots:
    void itemHighlighted(int index);
    void itemSelected(int index);
    void itemClicked(QListWidgetItem* item);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setMediaPath(const QByteArray& path);
    QByteArray composedPath(int index) const;

    // The bytes each row shows: directory entries, ".." included, or
    // playlist lines without their CR.
    QList<QByteArray> rowBytes_;
    // playlistLines is the whole file: only then may removal rewrite it.
    bool playlistReadWhole_ = false;
    // Counts listings, so a double click whose first click entered a
    // directory does not act again on the new listing.
    unsigned listingSerial_ = 0;
    unsigned serialAtPress_ = 0;
    bool swallowRelease_ = false;
};
