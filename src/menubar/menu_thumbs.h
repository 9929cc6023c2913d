#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>

// Ensemble thumbnails for the menu: read and scaled off the main thread, kept while the file is
// unchanged. A picture not read yet is a null image until `ready` fires.
class MenuThumbs : public QObject
{
    Q_OBJECT
public:
    explicit MenuThumbs(QObject* parent = nullptr);
    ~MenuThumbs() override;

    // The picture at `path` scaled to cover `size` device pixels; null while it is read or when
    // there is none.
    QImage image(const QString& path, const QSize& size);
    // Keeps only the pictures of these files.
    void keepOnly(const QSet<QString>& paths);
    int count() const { return int(m_images.size()); }

signals:
    void ready();

private:
    struct Entry
    {
        QImage image;
        QDateTime modified;
        QSize size;
    };
    QHash<QString, Entry> m_images;
    QSet<QString> m_reading;
};
