#pragma once

#include "brand/edge_brightness.h"
#include "platform/notifier.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The accent colour taken from the current wallpaper, and the wallpaper's edge brightness, shared
// by every process of the product. Kept in the live-wallpaper domain ("brandAccent",
// "brandEdges") and followed across processes through the accent-changed notice, whose object is
// "<hex>|<edges text>".
class BrandAccent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(quint32 hex READ hex NOTIFY hexChanged)
public:
    static constexpr quint32 fallback = 0xF0A08A;

    // The one instance of this process (main thread).
    static BrandAccent& shared();

    quint32 hex() const { return m_hex; }
    EdgeBrightness edges() const { return m_edges; }
    QColor color() const;
    QColor glow() const; // the colour at 22 % opacity

    // The light, moderately saturated version of the picture's dominant vivid hue as 0xRRGGBB;
    // nullopt when the picture has no vivid pixels (grey, black and white) or cannot be drawn.
    static std::optional<quint32> pick(const QImage& image);

    // Works out accent and edges of the thumbnail off the main thread, stores them and posts the
    // notice. No file, or one that cannot be read, gives the fallback and the default edges.
    // `done` runs on the main thread once the notice is posted.
    static void update(const std::optional<QString>& thumbnailPath, std::function<void()> done = {});

    // Makes every library store of this process, and ensemble changes made without one, refresh
    // the accent from the new current wallpaper's thumbnail. Call once at start.
    static void followWallpapers();

    // The notice object for these values, and its reading (each half applies only if it parses).
    static QString payload(quint32 hex, const EdgeBrightness& edges);
    struct Payload
    {
        std::optional<quint32> hex;
        std::optional<EdgeBrightness> edges;
    };
    static Payload parsePayload(const QString& object);

signals:
    void hexChanged(quint32 hex);
    void edgesChanged(const EdgeBrightness& edges);

private:
    BrandAccent();
    void apply(const Payload& payload);

    quint32 m_hex = fallback;
    EdgeBrightness m_edges;
    NoticeToken m_token;
};
