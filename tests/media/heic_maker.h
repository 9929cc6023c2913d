#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

// Writes a HEIC file with libheif: one solid-coloured image per colour, and optionally an XMP
// packet attached to the first image.
bool makeHeic(const QString& path, const QList<QColor>& images, const QByteArray& xmp = {}, int size = 64);

// An XMP packet carrying desktop tags, either as attributes of rdf:Description or as elements.
QByteArray desktopXmp(const QList<QPair<QString, QByteArray>>& tags, bool asElements);
