#pragma once

#include "media/shared_video_loop.h"
#include "platform/screens.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <QUuid>

#include <map>
#include <memory>
#include <optional>

class Appearance;
class DesktopLayer;
class LibraryStore;
struct Wallpaper;
class WallpaperWindow;

// The live wallpaper on the desktop: per display a window on the desktop layer showing the
// wallpaper the library store puts on that display. Videos loop silently, filling the display
// (cut to its shape); displays showing the same video share one decoder. Pictures fill the same
// way; a dynamic picture shows the image for the time of day or the appearance. Follows the
// store, the displays and the appearance as they change.
class DesktopPlayer : public QObject
{
    Q_OBJECT
public:
    enum class Kind { video, picture, dynamicPicture };

    // `appearance` may be null (light is assumed). `decoderThreads`: 0 lets FFmpeg choose.
    DesktopPlayer(LibraryStore& store, DesktopLayer& layer, const Appearance* appearance = nullptr, int decoderThreads = 0,
                  QObject* parent = nullptr);
    ~DesktopPlayer() override;

    // Paused, no video decodes and every display keeps its last frame.
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    // The areas (on the whole desktop) that another app's full-screen window covers. A display
    // inside one keeps its last frame; its video stops unless a visible display shows it too.
    void setCovered(const QList<QRect>& areas);
    bool isCovered(quint32 displayID) const;

    // Why a wallpaper is not shown as it should be (a reason for the status line), or none.
    std::optional<QString> failure() const { return m_failure; }

    // What the player shows, for tests and benchmarks.
    WallpaperWindow* window(quint32 displayID) const;
    QList<WallpaperWindow*> windows() const;
    std::optional<QString> pathOn(quint32 displayID) const;
    int decoderCount() const { return int(m_videos.size()); }
    const SharedVideoLoop* decoder(const QString& path) const;

    // Looks at the store and the displays again now (changes otherwise arrive on the next turn).
    void update();

signals:
    void failureChanged();

private:
    struct Target
    {
        QUuid wallpaper;
        QString name;
        QString path;
        Kind kind = Kind::picture;
        bool operator==(const Target&) const = default;
    };
    struct Shown
    {
        std::unique_ptr<WallpaperWindow> window;
        std::optional<Target> target;
        QSize size;
        std::optional<QString> failure;
        int pictureRun = 0;   // pictures loading for an older target are dropped
        int pictureIndex = -1; // image of a dynamic picture on screen
    };

    void scheduleUpdate();
    std::optional<Target> targetFor(const ScreenInfo& screen) const;
    void showTarget(quint32 id, Shown& shown);
    void loadPicture(quint32 id, Shown& shown, const QString& path, Kind kind);
    void updateVideos();
    void pauseVideos();
    static PictureMemory pictureMemory();
    void deliver(const QString& path, const FilledFrame& frame);
    void videoFailed(const QString& path, const QString& error);
    void updateFailure();
    bool isBroken(const QString& path) const;

    LibraryStore& m_store;
    DesktopLayer& m_layer;
    const Appearance* m_appearance;
    int m_threads;
    bool m_paused = false;
    QList<QRect> m_coveredAreas;
    std::map<QString, bool> m_hidden; // videos whose every display is covered
    bool m_updateQueued = false;
    std::optional<QString> m_failure;
    std::map<quint32, Shown> m_shown;
    std::map<QString, std::unique_ptr<SharedVideoLoop>> m_videos;
    QHash<QString, QDateTime> m_broken; // videos that failed, with their file's time then
    QTimer m_dynamicTimer;
    QThreadPool m_loader; // pictures are read off the main thread
};
