#include "pictures.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPixmap>

using namespace Qt::StringLiterals;

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
