#include "wallpaper/player/desktop_player.h"

#include "library/library_store.h"
#include "media/dynamic_picture.h"
#include "media/media_kind.h"
#include "media/thumbnailer.h"
#include "platform/appearance.h"
#include "platform/screen_areas.h"
#include "platform/shared_pictures.h"
#include "wallpaper/player/wallpaper_window.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QSet>

#include <algorithm>

Q_LOGGING_CATEGORY(lcDesktopPlayer, "zentrove.wallpaper.player")

namespace {

// Largest side a picture is read at before it is fitted to a display.
constexpr int pictureLimit = 8192;

// `image` scaled to cover `size` with its shape kept, the middle cut out.
QImage covering(const QImage& image, QSize size)
{
    if (image.isNull() || size.isEmpty())
        return {};
    const QImage scaled = image.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QRect middle(QPoint((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2), size);
    return scaled.copy(middle).convertToFormat(QImage::Format_RGB32);
}

QString cannotFind(const QString& name) { return QStringLiteral("can't find “%1”").arg(name); }
QString cannotPlay(const QString& name) { return QStringLiteral("can't play “%1”").arg(name); }

} // namespace

DesktopPlayer::DesktopPlayer(LibraryStore& store, DesktopLayer& layer, const Appearance* appearance, int decoderThreads, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_layer(layer)
    , m_appearance(appearance)
    , m_threads(decoderThreads)
{
    m_loader.setMaxThreadCount(1);
    for (auto signal : {&LibraryStore::currentIDChanged, &LibraryStore::currentEnsembleIDChanged, &LibraryStore::displayEnsemblesChanged,
                        &LibraryStore::itemsChanged, &LibraryStore::ensemblesChanged})
        connect(&m_store, signal, this, &DesktopPlayer::scheduleUpdate);
    connect(&ScreensWatch::shared(), &ScreensWatch::changed, this, &DesktopPlayer::scheduleUpdate);
    if (m_appearance)
        connect(m_appearance, &Appearance::changed, this, &DesktopPlayer::scheduleUpdate);
    // A dynamic picture that follows the time of day is looked at again every minute.
    m_dynamicTimer.setInterval(60 * 1000);
    connect(&m_dynamicTimer, &QTimer::timeout, this, [this] {
        for (auto& [id, shown] : m_shown)
            if (shown.target && shown.target->kind == Kind::dynamicPicture)
                loadPicture(id, shown, shown.target->path, Kind::dynamicPicture);
    });
    update();
}

DesktopPlayer::~DesktopPlayer()
{
    m_loader.clear();
    m_loader.waitForDone();
    m_videos.clear();
    m_shown.clear();
}

void DesktopPlayer::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    pauseVideos();
}

void DesktopPlayer::setCovered(const QList<QRect>& areas)
{
    if (areas == m_coveredAreas)
        return;
    m_coveredAreas = areas;
    updateVideos();
}

bool DesktopPlayer::isCovered(quint32 displayID) const
{
    const auto found = m_shown.find(displayID);
    if (found == m_shown.end())
        return false;
    // One point of slack on every side: full-screen windows are sometimes off by a fraction.
    const QRect display = found->second.window->geometry().adjusted(1, 1, -1, -1);
    return std::any_of(m_coveredAreas.cbegin(), m_coveredAreas.cend(), [&](const QRect& area) { return area.contains(display); });
}

void DesktopPlayer::pauseVideos()
{
    for (auto& [path, loop] : m_videos)
        loop->setPaused(m_paused || m_hidden[path]);
}

WallpaperWindow* DesktopPlayer::window(quint32 displayID) const
{
    const auto found = m_shown.find(displayID);
    return found == m_shown.end() ? nullptr : found->second.window.get();
}

QList<WallpaperWindow*> DesktopPlayer::windows() const
{
    QList<WallpaperWindow*> result;
    for (const auto& [id, shown] : m_shown)
        result.append(shown.window.get());
    return result;
}

std::optional<QString> DesktopPlayer::pathOn(quint32 displayID) const
{
    const auto found = m_shown.find(displayID);
    if (found == m_shown.end() || !found->second.target)
        return std::nullopt;
    return found->second.target->path;
}

const SharedVideoLoop* DesktopPlayer::decoder(const QString& path) const
{
    const auto found = m_videos.find(path);
    return found == m_videos.end() ? nullptr : found->second.get();
}

void DesktopPlayer::scheduleUpdate()
{
    // Several changes of one turn (a reload sets many keys) make one update.
    if (std::exchange(m_updateQueued, true))
        return;
    QMetaObject::invokeMethod(this, &DesktopPlayer::update, Qt::QueuedConnection);
}

std::optional<DesktopPlayer::Target> DesktopPlayer::targetFor(const ScreenInfo& screen) const
{
    const std::optional<Wallpaper> wallpaper = m_store.wallpaperOn(screen);
    if (!wallpaper)
        return std::nullopt;
    Target target {wallpaper->id, wallpaper->name, m_store.mediaPath(*wallpaper)};
    if (MediaKind::isVideo(target.path))
        target.kind = Kind::video;
    else if (m_store.isDynamic(*wallpaper))
        target.kind = Kind::dynamicPicture;
    return target;
}

void DesktopPlayer::update()
{
    m_updateQueued = false;
    QSet<quint32> present;
    for (const ScreenInfo& screen : Screens::all()) {
        const std::optional<QRect> area = ScreenAreas::of(screen.displayID);
        if (!area || area->isEmpty())
            continue;
        const std::optional<Target> target = targetFor(screen);
        if (!target) // nothing to show: the desktop's own wallpaper stays visible
            continue;
        present.insert(screen.displayID);
        Shown& shown = m_shown[screen.displayID];
        if (!shown.window)
            shown.window = std::make_unique<WallpaperWindow>(m_layer, *area);
        else
            shown.window->cover(*area);
        const QSize size = shown.window->pixelSize();
        if (shown.target != target || shown.size != size) {
            shown.target = target;
            shown.size = size;
            showTarget(screen.displayID, shown);
        }
    }
    std::erase_if(m_shown, [&](const auto& entry) { return !present.contains(entry.first); });
    updateVideos();
    updateFailure();
    bool dynamic = false;
    for (const auto& [id, shown] : m_shown)
        dynamic = dynamic || shown.target->kind == Kind::dynamicPicture;
    if (dynamic && !m_dynamicTimer.isActive())
        m_dynamicTimer.start();
    else if (!dynamic)
        m_dynamicTimer.stop();
}

bool DesktopPlayer::isBroken(const QString& path) const
{
    const auto found = m_broken.constFind(path);
    return found != m_broken.cend() && *found == QFileInfo(path).lastModified();
}

void DesktopPlayer::showTarget(quint32 id, Shown& shown)
{
    const Target& target = *shown.target;
    shown.failure.reset();
    shown.pictureIndex = -1;
    ++shown.pictureRun;
    const QFileInfo file(target.path);
    if (!file.exists() || (target.kind == Kind::video && isBroken(target.path))) {
        // The still the library made of it, or black.
        shown.failure = file.exists() ? cannotPlay(target.name) : cannotFind(target.name);
        if (!file.exists())
            qCWarning(lcDesktopPlayer).noquote() << "Paneflow: the wallpaper file is missing:" << target.path;
        loadPicture(id, shown, m_store.thumbnailPath(target.wallpaper), Kind::picture);
        return;
    }
    if (target.kind != Kind::video)
        loadPicture(id, shown, target.path, target.kind);
    // Videos arrive through their shared loop (updateVideos).
}

void DesktopPlayer::loadPicture(quint32 id, Shown& shown, const QString& path, Kind kind)
{
    const int run = shown.pictureRun;
    const int lastIndex = shown.pictureIndex;
    const QSize size = shown.size;
    const bool dark = m_appearance && m_appearance->isDark().value_or(false);
    const QString name = shown.target ? shown.target->name : QString();
    m_loader.start([this, id, run, lastIndex, size, dark, path, kind, name] {
        int index = 0;
        if (kind == Kind::dynamicPicture) {
            const std::optional<DynamicPicture> dynamic = DynamicPicture::read(path);
            const auto frame = dynamic ? dynamic->current(dark, QTime::currentTime()) : std::nullopt;
            index = frame ? frame->index : 0;
            if (index == lastIndex)
                return; // the same image is on screen
        }
        const std::optional<QImage> read = Thumbnailer::image(path, pictureLimit, index);
        const QImage image = read ? covering(*read, size) : QImage();
        QMetaObject::invokeMethod(this, [this, id, run, index, image, path, kind, name] {
            const auto found = m_shown.find(id);
            if (found == m_shown.end() || found->second.pictureRun != run)
                return;
            Shown& shown = found->second;
            shown.pictureIndex = index;
            if (image.isNull() && !shown.failure && kind != Kind::video) {
                qCWarning(lcDesktopPlayer).noquote() << "Paneflow: cannot read the picture" << path;
                shown.failure = cannotPlay(name);
                updateFailure();
            }
            shown.window->showImage(image);
        }, Qt::QueuedConnection);
    });
}

void DesktopPlayer::updateVideos()
{
    // Each video file on screen, with every size a visible display shows it at; a video whose
    // every display is covered keeps its sizes and stops (it goes on from there when uncovered).
    std::map<QString, QList<QSize>> wanted, hiddenSizes;
    for (const auto& [id, shown] : m_shown) {
        if (shown.target->kind != Kind::video || shown.failure)
            continue;
        QList<QSize>& sizes = isCovered(id) ? hiddenSizes[shown.target->path] : wanted[shown.target->path];
        if (!sizes.contains(shown.size))
            sizes.append(shown.size);
    }
    m_hidden.clear();
    for (auto& [path, sizes] : hiddenSizes) {
        if (!wanted.contains(path)) {
            wanted[path] = sizes;
            m_hidden[path] = true;
        }
    }
    std::erase_if(m_videos, [&](const auto& entry) { return !wanted.contains(entry.first); });
    for (auto& [path, sizes] : wanted) {
        if (const auto found = m_videos.find(path); found != m_videos.end()) {
            if (!m_hidden[path])
                found->second->setSizes(sizes);
            continue;
        }
        auto loop = std::make_unique<SharedVideoLoop>(path, sizes, m_paused || m_hidden[path], m_threads, pictureMemory());
        // A copy to capture: clang before 16 cannot capture a structured binding.
        const QString file = path;
        connect(loop.get(), &SharedVideoLoop::frameReady, this, [this, file](const FilledFrame& frame) { deliver(file, frame); });
        connect(loop.get(), &SharedVideoLoop::failed, this, [this, file](const QString& error) { videoFailed(file, error); });
        m_videos.emplace(path, std::move(loop));
    }
    pauseVideos();
}

PictureMemory DesktopPlayer::pictureMemory()
{
    // Frames made where the display reads them are shown without being painted.
    SharedPictures* shared = SharedPictures::forDisplay();
    if (!shared)
        return {};
    return {[shared](std::size_t bytes) { return shared->allocate(bytes); }, [shared](uchar* block) { shared->release(block); }};
}

void DesktopPlayer::deliver(const QString& path, const FilledFrame& frame)
{
    for (auto& [id, shown] : m_shown) {
        if (shown.target->kind != Kind::video || shown.target->path != path || shown.failure || isCovered(id))
            continue;
        const QImage image = frame.imageFor(shown.size);
        if (!image.isNull())
            shown.window->showImage(image);
    }
}

void DesktopPlayer::videoFailed(const QString& path, const QString& error)
{
    qCWarning(lcDesktopPlayer).noquote() << "Paneflow: cannot play" << path << ":" << error;
    m_broken.insert(path, QFileInfo(path).lastModified());
    if (auto found = m_videos.find(path); found != m_videos.end()) {
        // The loop is the sender: it goes once this call has returned.
        found->second.release()->deleteLater();
        m_videos.erase(found);
    }
    for (auto& [id, shown] : m_shown)
        if (shown.target->kind == Kind::video && shown.target->path == path)
            showTarget(id, shown);
    updateFailure();
}

void DesktopPlayer::updateFailure()
{
    std::optional<QString> failure;
    // The main display's failure first, as Screens lists it first.
    for (const ScreenInfo& screen : Screens::all()) {
        const auto found = m_shown.find(screen.displayID);
        if (found != m_shown.end() && found->second.failure) {
            failure = found->second.failure;
            break;
        }
    }
    if (failure == m_failure)
        return;
    m_failure = failure;
    emit failureChanged();
}
