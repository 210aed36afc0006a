#include "songcover.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/xiphcomment.h>

namespace
{
// Every picture format names the front cover 3.
constexpr int frontCover = 3;

// The pictures' bytes, the front cover's first.
struct Pictures {
    QByteArray front;
    QByteArray other;
    void add(const TagLib::ByteVector& data, int type)
    {
        QByteArray& into = type == frontCover ? front : other;
        if (into.isEmpty())
            into = QByteArray(data.data(), static_cast<qsizetype>(data.size()));
    }
    QByteArray best() const { return front.isEmpty() ? other : front; }
};

void fromId3v2(TagLib::ID3v2::Tag* tag, Pictures& pictures)
{
    if (!tag)
        return;
    for (const TagLib::ID3v2::Frame* frame : tag->frameList("APIC"))
        if (const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame))
            pictures.add(picture->picture(), picture->type());
}

void fromFlac(const TagLib::List<TagLib::FLAC::Picture*>& list, Pictures& pictures)
{
    for (const TagLib::FLAC::Picture* picture : list)
        pictures.add(picture->data(), picture->type());
}

void fromApe(const TagLib::APE::Tag* tag, Pictures& pictures)
{
    if (!tag || !tag->itemListMap().contains("COVER ART (FRONT)"))
        return;
    // The file's name, a NUL, then the picture.
    const TagLib::ByteVector data = tag->itemListMap()["COVER ART (FRONT)"].binaryData();
    const int name = data.find('\0');
    if (name >= 0)
        pictures.add(data.mid(static_cast<unsigned>(name) + 1), frontCover);
}

QByteArray embedded(const QByteArray& path)
{
    const TagLib::FileRef ref(path.constData(), false);
    TagLib::File* file = ref.file();
    Pictures pictures;
    if (!file)
        return {};
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
        fromId3v2(mpeg->ID3v2Tag(), pictures);
        fromApe(mpeg->APETag(), pictures);
    } else if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        fromFlac(flac->pictureList(), pictures);
        fromId3v2(flac->ID3v2Tag(), pictures);
    } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
        if (mp4->tag() && mp4->tag()->contains("covr"))
            for (const TagLib::MP4::CoverArt& art : mp4->tag()->item("covr").toCoverArtList())
                pictures.add(art.data(), frontCover);
    } else if (auto* ape = dynamic_cast<TagLib::APE::File*>(file)) {
        fromApe(ape->APETag(), pictures);
    } else if (auto* asf = dynamic_cast<TagLib::ASF::File*>(file)) {
        if (asf->tag() && asf->tag()->contains("WM/Picture"))
            for (const TagLib::ASF::Attribute& attribute : asf->tag()->attribute("WM/Picture")) {
                const TagLib::ASF::Picture picture = attribute.toPicture();
                pictures.add(picture.picture(), picture.type());
            }
    } else if (auto* xiph = dynamic_cast<TagLib::Ogg::XiphComment*>(ref.tag())) {
        fromFlac(xiph->pictureList(), pictures);
    }
    return pictures.best();
}

// Decoded at the size it is shown: a card's 3000-pixel scan would take 36
// MB at full size, more than a small phone spares.
QImage fitted(QImageReader& reader, const QSize& fit)
{
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > fit.width() || size.height() > fit.height()))
        reader.setScaledSize(size.scaled(fit, Qt::KeepAspectRatio));
    return reader.read();
}
} // namespace

QImage songCover(const QByteArray& path, const QSize& fit)
{
    QByteArray bytes = embedded(path);
    QBuffer buffer(&bytes);
    QImageReader fromTags(&buffer);
    QImage cover = bytes.isEmpty() ? QImage() : fitted(fromTags, fit);
    if (!cover.isNull())
        return cover;
    const QFileInfo song(QFile::decodeName(path));
    const QStringList beside = song.dir().entryList(QDir::Files);
    for (const char* name : {"cover.jpg", "folder.jpg", "front.jpg"})
        for (const QString& file : beside)
            if (file.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                QImageReader reader(song.dir().filePath(file));
                cover = fitted(reader, fit);
                if (!cover.isNull())
                    return cover;
            }
    return cover;
}
