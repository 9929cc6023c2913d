#pragma once

#include "platform/notifier.h"

#include <QImage>
#include <QObject>
#include <QUuid>

#include <optional>

class LibraryStore;
class StyleStore;

// What clock previews are shown on: the wallpaper the live-wallpaper part shows now, another
// wallpaper of the library, or a picture file (kept in the style store, so the clock part's own
// pictures use it too). Follows the live wallpaper's current-wallpaper notice.
class BackdropChoice : public QObject
{
    Q_OBJECT
public:
    enum class Kind { liveWallpaper, wallpaper, picture };

    BackdropChoice(StyleStore& store, LibraryStore* library, QObject* parent = nullptr);

    Kind kind() const;
    std::optional<QUuid> wallpaperID() const { return m_wallpaper; }
    // The wallpaper the live-wallpaper part shows, as last announced.
    std::optional<QUuid> paneflowID() const { return m_paneflowID; }
    // The picture, once read (null until then, or when there is none).
    QImage image() const;
    // The picture chosen for previews, else the live wallpaper's (what the cards show).
    QImage defaultImage() const;
    QString caption() const;
    QString title() const;

    void chooseLiveWallpaper();
    void chooseWallpaper(const QUuid& id);
    // Refused, with the reason in `error`, when the file is not a picture.
    bool choosePicture(const QString& path, QString* error = nullptr);

    LibraryStore* library() const { return m_library; }

signals:
    void changed();

private:
    QString imagePath() const;
    QString defaultPath() const;
    QImage load(const QString& path) const;
    void setPaneflowID(const std::optional<QUuid>& id);

    StyleStore& m_store;
    LibraryStore* m_library;
    std::optional<QUuid> m_wallpaper;
    std::optional<QUuid> m_paneflowID;
    NoticeToken m_currentObserver;
};
