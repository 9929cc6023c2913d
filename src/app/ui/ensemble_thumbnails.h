#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>

// Wallpaper thumbnails for views: read and scaled off the main thread, kept by file and size until
// the library says thumbnails were remade. The main thread never waits on the disk: a picture not
// read yet is a null image until `ready` says it is there.
class EnsembleThumbnails : public QObject
{
    Q_OBJECT
public:
    explicit EnsembleThumbnails(QObject* parent = nullptr);
    ~EnsembleThumbnails() override;

    // The picture at `path` scaled to cover `width` pixels, or a null image while it is read.
    QImage image(const QString& path, int width);
    // Forgets every picture (the library remade its thumbnails).
    void clear();
    // Waits for the reads in flight (tests and benchmarks).
    void waitForReads();

signals:
    void ready(const QString& path);

private:
    struct Key
    {
        QString path;
        int width = 0;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) { return qHashMulti(seed, key.path, key.width); }

    QHash<Key, QImage> m_images;
    QSet<Key> m_reading;
    int m_generation = 0;
};
