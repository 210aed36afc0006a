#include "filebrowser.h"

#include "playbackstate.h"
#include "playlistfile.h"
#include "settingsrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScrollBar>

#include <cstdio>

const QString FileBrowser::mediaFilter = QStringLiteral(
    "*.mpg *.mpeg *.mov *.wmv *.wma *.wav *.ogg *.avi *.qt *.3* *.asf *.rm *.mka *.flac *.ac3 "
    "*.mp2 *.mp1 *.mp3 *.mp4 *.dat *.rmvb");

FileBrowser::FileBrowser(QWidget* parent, const char* name) : QListWidget(parent)
{
    if (name)
        setObjectName(QString::fromLatin1(name));
    setUniformItemSizes(true);
    setMediaPath(QByteArray(notAFile));
    listDirectory(QDir::currentPath());
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
    if (!storeWhole(mediaPath, path.constData(), static_cast<size_t>(path.size())))
        storeWhole(mediaPath, notAFile, std::char_traits<char>::length(notAFile));
}

QString FileBrowser::composedPath(int index) const
{
    const QListWidgetItem* row = item(index);
    return currentDir + QLatin1Char('/') + (row ? row->text() : QString());
}

void FileBrowser::listDirectory(const QString& path)
{
    QDir dir(path, mediaFilter, QDir::Name | QDir::DirsFirst,
             QDir::Dirs | QDir::Files | QDir::Drives | QDir::AllDirs);
    const QFileInfo info(path);
    if (!info.isDir() || !info.isReadable())
        return;
    const QString canonical = dir.canonicalPath();
    if (canonical.isEmpty())
        return;
    const QStringList entries = dir.entryList();
    QStringList rows;
    rows.reserve(entries.size() + 1);
    if (canonical != QLatin1String("/"))
        rows.append(QStringLiteral(".."));
    for (const QString& entry : entries)
        if (entry != QLatin1String(".") && entry != QLatin1String(".."))
            rows.append(entry);
    clear();
    addItems(rows);
    ++listingSerial_;
    currentDir = canonical;
    // A directory that does not fit the field is not stored: a cut path
    // would name some other directory.
    const QByteArray encoded = QFile::encodeName(currentDir);
    storeWhole(settingsRecord.lastDirectory, encoded.constData(),
               static_cast<size_t>(encoded.size()));
}

void FileBrowser::leavePlaylistView()
{
    listDirectory(currentDir);
    playlistView = false;
}

void FileBrowser::openPlaylist(const QString& path)
{
    playlistFile = path;
    playlistView = true;
    const QByteArray encoded = QFile::encodeName(playlistFile);
    setMediaPath(encoded);
    playlistLines.clear();
    std::printf("%s\n", encoded.constData());
    QList<QByteArray> lines;
    if (!readPlaylistLines(encoded, &lines))
        return;
    QStringList rows;
    rows.reserve(lines.size());
    for (const QByteArray& line : lines)
        rows.append(shownForm(line));
    clear();
    addItems(rows);
    playlistLines = lines;
}

QString FileBrowser::shownForm(const QByteArray& line)
{
    return QString::fromLocal8Bit(line);
}

void FileBrowser::removeFromPlaylist()
{
    // With no row, the null text matches only empty lines.
    const QListWidgetItem* row = item(currentIndex);
    const QString highlighted = row ? row->text() : QString();
    QList<QByteArray> kept;
    kept.reserve(playlistLines.size());
    for (const QByteArray& line : playlistLines)
        if (shownForm(line) != highlighted)
            kept.append(line);
    rewritePlaylist(QFile::encodeName(playlistFile), kept);
    playlistLines.clear();
    openPlaylist(playlistFile);
}

void FileBrowser::enterFullScreen()
{
    ignoreMouse = true;
    viewport()->hide();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setGeometry(0, 0, 240, 320);
}

void FileBrowser::leaveFullScreen()
{
    ignoreMouse = false;
    setGeometry(0, 0, 240, 240);
    viewport()->show();
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void FileBrowser::itemHighlighted(int index)
{
    QString composed;
    if (!playlistView) {
        composed = composedPath(index);
        if (QFileInfo(composed).isFile())
            setMediaPath(QFile::encodeName(composed));
        else
            setMediaPath(QByteArray(notAFile));
    }
    currentIndex = index;
    emit picked(composed);
}

void FileBrowser::itemSelected(int index)
{
    if (index < 0 || index >= count())
        return;
    const QString composed = composedPath(index);
    if (QFileInfo(composed).isDir())
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

void FileBrowser::focusOutEvent(QFocusEvent* /*event*/)
{
    std::printf("FileBrowser::focusOutEvent\n");
    playbackState.focusLost = true;
}
