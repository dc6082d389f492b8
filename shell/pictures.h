#pragma once

#include <QIcon>
#include <QImage>

// The program's own pictures, each read by the reader its suffix names. Left to guess, Qt loads
// every image plugin installed to ask each whether it reads PNG: 1 to 2 ms of the start, and
// more where many are installed.
QImage readPicture(const QString &path);

// Adds the picture at path to icon, with its twin drawn at twice the size ("name@2x.png") where
// some screen is scaled and the twin exists: what QIcon::addFile adds, read as above.
void addPicture(QIcon &icon, const QString &path, QIcon::Mode mode = QIcon::Normal);
QIcon pictureIcon(const QString &path);
// The same, read only when a window first shows it: a start that hands its file over to a
// running copy, or cannot start, never reads it.
QIcon pictureIconWhenShown(const QString &path);
