#include "pictures.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPixmap>

using namespace Qt::StringLiterals;

namespace {

class PictureWhenShown : public QIconEngine
{
public:
    explicit PictureWhenShown(QString path)
        : m_path(std::move(path))
    { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
               QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new PictureWhenShown(m_path); }

private:
    const QIcon &icon()
    {
        if (m_icon.isNull())
            m_icon = pictureIcon(m_path);
        return m_icon;
    }

    QString m_path;
    QIcon m_icon;
};

} // namespace

QImage readPicture(const QString &path)
{
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

void addPicture(QIcon &icon, const QString &path, QIcon::Mode mode)
{
    icon.addPixmap(QPixmap::fromImage(readPicture(path)), mode);
    if (qApp->devicePixelRatio() <= 1)
        return;
    const QFileInfo file(path);
    const QString twin = u"%1/%2@2x.%3"_s.arg(file.path(), file.completeBaseName(), file.suffix());
    // The reader marks a picture named @2x as drawn at twice the size.
    if (QFileInfo::exists(twin))
        icon.addPixmap(QPixmap::fromImage(readPicture(twin)), mode);
}

QIcon pictureIcon(const QString &path)
{
    QIcon icon;
    addPicture(icon, path);
    return icon;
}

QIcon pictureIconWhenShown(const QString &path)
{
    return QIcon(new PictureWhenShown(path));
}
