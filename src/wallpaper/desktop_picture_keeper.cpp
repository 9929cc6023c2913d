#include "wallpaper/desktop_picture_keeper.h"

#include "library/library_store.h"
#include "media/media_kind.h"
#include "media/thumbnailer.h"
#include "platform/desktop_picture_settings.h"
#include "wallpaper/desktop_picture.h"

#include <QLoggingCategory>
#include <QMetaObject>

Q_LOGGING_CATEGORY(lcPictureKeeper, "zentrove.wallpaper.desktoppicture.keeper")

namespace {

// Large enough for a 4K display.
constexpr int stillSize = 3840;

} // namespace

DesktopPictureKeeper::DesktopPictureKeeper(LibraryStore& store, DesktopPictureSettings& settings, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_settings(settings)
{
    m_maker.setMaxThreadCount(1);
    if (!m_settings.isSetUp()) {
        qCInfo(lcPictureKeeper).noquote() << "Paneflow: the desktop keeps no wallpaper settings we can set: the desktop picture is not set up";
        return;
    }
    connect(&m_store, &LibraryStore::currentIDChanged, this, &DesktopPictureKeeper::update);
    update();
}

DesktopPictureKeeper::~DesktopPictureKeeper()
{
    m_maker.clear();
    m_maker.waitForDone();
    DesktopPicture::giveBack(m_settings);
}

void DesktopPictureKeeper::update()
{
    const std::optional<Wallpaper> current = m_store.current();
    if (!current)
        return;
    const QString path = m_store.mediaPath(*current);
    const int run = ++m_run;
    m_maker.start([this, path, run] {
        QString error;
        const std::optional<QImage> still = MediaKind::isVideo(path) ? Thumbnailer::videoFrame(path, stillSize, nullptr, &error)
                                                                     : Thumbnailer::image(path, stillSize);
        QMetaObject::invokeMethod(this, [this, path, run, still, error] {
            if (run != m_run)
                return; // another wallpaper became current meanwhile
            QString failure = error;
            const bool ok = still && DesktopPicture::place(m_settings, *still, &failure);
            if (!ok)
                qCWarning(lcPictureKeeper).noquote() << "Paneflow: couldn't place a still of" << path << "as the desktop picture:" << failure;
            emit placed(ok);
        }, Qt::QueuedConnection);
    });
}
