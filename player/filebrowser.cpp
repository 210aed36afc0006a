#include "filebrowser.h"

#include "directorylisting.h"
#include "platform/zmainwidget.h"
#include "playbackstate.h"
#include "playlistfile.h"
#include "settingsrecord.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <cstdio>

const QByteArray FileBrowser::mediaFilter = QByteArrayLiteral(
    "*.mpg *.mpeg *.mov *.wmv *.wma *.wav *.ogg *.avi *.qt *.3* *.asf *.rm *.mka *.flac *.ac3 "
    "*.mp2 *.mp1 *.mp3 *.mp4 *.dat *.rmvb "
    "*.mkv *.webm *.m4a *.m4v *.opus *.oga *.aac *.flv *.ts *.m2ts *.mts");

namespace
{
const QList<QByteArray>& mediaPatterns()
{
    static const QList<QByteArray> patterns = splitNameFilter(FileBrowser::mediaFilter);
    return patterns;
}

QByteArray withoutCarriageReturn(const QByteArray& line)
{
    return line.endsWith('\r') ? line.left(line.size() - 1) : line;
}
} // namespace

FileBrowser::FileBrowser(QWidget* parent, const char* name) : QListWidget(parent)
{
    if (name)
        setObjectName(QString::fromLatin1(name));
    setUniformItemSizes(true);
    setMediaPath(QByteArray(notAFile));
    listDirectory(workingDirectory());
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        // Qt reports -1 when the list is cleared; only real rows are highlights.
        if (row >= 0)
            itemHighlighted(row);
    });
    connect(this, &QListWidget::itemClicked, this, &FileBrowser::itemClicked);
    ignoreMouse = false;
    playlistView = false;
}

FileBrowser::~FileBrowser() = default;

void FileBrowser::setMediaPath(const QByteArray& path)
{
    // The bytes up to a NUL, as the file system names the file.
    mediaPath = QByteArray(path.constData(), qstrnlen(path.constData(), path.size()));
}

QByteArray FileBrowser::composedPath(int index) const
{
    return currentDir + '/' + (index >= 0 && index < rowBytes_.size() ? rowBytes_.at(index) : "");
}

void FileBrowser::listDirectory(const QByteArray& path)
{
    std::optional<DirectoryEntries> entries = readDirectory(path, mediaPatterns());
    if (!entries)
        return;
    QList<QByteArray> names;
    names.reserve(entries->names.size() + 1);
    if (entries->canonicalPath != "/")
        names.append(QByteArrayLiteral(".."));
    names.append(entries->names);
    QStringList rows;
    rows.reserve(names.size());
    for (const QByteArray& name : names)
        rows.append(QString::fromLocal8Bit(name));
    clear();
    rowBytes_ = std::move(names);
    addItems(rows);
    ++listingSerial_;
    currentDir = entries->canonicalPath;
    // A directory that does not fit the field is not stored: a cut path
    // would name some other directory.
    storeWhole(settingsRecord.lastDirectory, currentDir.constData(),
               static_cast<size_t>(currentDir.size()));
}

void FileBrowser::leavePlaylistView()
{
    listDirectory(currentDir);
    playlistView = false;
    // The playlist is no longer what Play would play, and no row is
    // highlighted yet.
    setMediaPath(QByteArray(notAFile));
}

void FileBrowser::openPlaylist(const QByteArray& path)
{
    playlistFile = path;
    playlistView = true;
    setMediaPath(playlistFile);
    playlistLines.clear();
    playlistReadWhole_ = false;
    std::printf("%s\n", playlistFile.constData());
    QList<QByteArray> lines;
    if (!readPlaylistLines(playlistFile, &lines)) {
        // Rows are kept; what was read of a file that failed part-way is
        // neither shown nor ever written back.
        return;
    }
    // A row shows its line without the CR that ended it (files written on
    // other systems); the line itself keeps it, for the rewrite.
    QStringList rows;
    rows.reserve(lines.size());
    rowBytes_.clear();
    for (const QByteArray& line : lines) {
        rowBytes_.append(withoutCarriageReturn(line));
        rows.append(QString::fromLocal8Bit(rowBytes_.last()));
    }
    clear();
    addItems(rows);
    playlistLines = std::move(lines);
    playlistReadWhole_ = true;
}

void FileBrowser::removeFromPlaylist()
{
    // A file that was not read whole is never rewritten: what was not read
    // would be lost.
    if (playlistReadWhole_) {
        // Every line that shows as the highlighted one goes; with no row,
        // that is the empty lines. The row is the list's own: the latest
        // highlight may be the file browser's, a row this list never drew.
        const int row = currentRow();
        const QByteArray highlighted = row >= 0 && row < playlistLines.size()
                                           ? withoutCarriageReturn(playlistLines.at(row))
                                           : QByteArray();
        QList<QByteArray> kept;
        kept.reserve(playlistLines.size());
        for (const QByteArray& line : playlistLines)
            if (withoutCarriageReturn(line) != highlighted)
                kept.append(line);
        rewritePlaylist(playlistFile, kept);
    }
    playlistLines.clear();
    openPlaylist(playlistFile);
}

void FileBrowser::enterFullScreen()
{
    ignoreMouse = true;
    viewport()->hide();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const auto* screen = qobject_cast<const ZMainWidget*>(parentWidget());
    setGeometry(screen ? screen->screenArea() : QRect(QPoint(0, 0), ZMainWidget::phoneScreen));
}

void FileBrowser::leaveFullScreen()
{
    ignoreMouse = false;
    const auto* screen = qobject_cast<const ZMainWidget*>(parentWidget());
    setGeometry(screen ? screen->contentArea() : QRect(0, 0, 240, 240));
    viewport()->show();
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void FileBrowser::itemHighlighted(int index)
{
    QByteArray composed;
    if (!playlistView) {
        composed = composedPath(index);
        setMediaPath(isRegularFile(composed) ? composed : QByteArray(notAFile));
    }
    currentIndex = index;
    emit picked(playlistView ? QString() : QFile::decodeName(composed));
}

void FileBrowser::itemSelected(int index)
{
    if (index < 0 || index >= count())
        return;
    const QByteArray composed = composedPath(index);
    if (isDirectory(composed))
        listDirectory(composed);
}

void FileBrowser::itemClicked(QListWidgetItem* item)
{
    itemSelected(row(item));
}

void FileBrowser::keyPressEvent(QKeyEvent* event)
{
    // The select key selects the current row, as the phone's list box does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        itemSelected(currentRow());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FileBrowser::mousePressEvent(QMouseEvent* event)
{
    if (ignoreMouse)
        return;
    serialAtPress_ = listingSerial_;
    swallowRelease_ = false;
    QListWidget::mousePressEvent(event);
}

void FileBrowser::mouseReleaseEvent(QMouseEvent* event)
{
    if (ignoreMouse)
        return;
    if (swallowRelease_) {
        swallowRelease_ = false;
        return;
    }
    QListWidget::mouseReleaseEvent(event);
}

void FileBrowser::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (ignoreMouse)
        return;
    // The first click of this double click entered a directory: the second
    // press would land on a row of the new listing. Drop it and its release.
    if (serialAtPress_ != listingSerial_) {
        swallowRelease_ = true;
        return;
    }
    QListWidget::mouseDoubleClickEvent(event);
}

void FileBrowser::mouseMoveEvent(QMouseEvent* event)
{
    if (ignoreMouse)
        return;
    QListWidget::mouseMoveEvent(event);
}

void FileBrowser::focusInEvent(QFocusEvent* event)
{
    // A list with no current row that takes the focus (at start, from a
    // closing menu) is given its first by the toolkit, undrawn: it is drawn
    // as highlighted, so that nothing acts on a row the user cannot see.
    QListWidget::focusInEvent(event);
    if (currentItem() && !currentItem()->isSelected())
        selectionModel()->select(QListWidget::currentIndex(), QItemSelectionModel::ClearAndSelect);
}

void FileBrowser::focusOutEvent(QFocusEvent* /*event*/)
{
    std::printf("FileBrowser::focusOutEvent\n");
    playbackState.focusLost = true;
    emit lostFocus();
}
