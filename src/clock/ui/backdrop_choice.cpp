#include "clock/ui/backdrop_choice.h"

#include "clock/style_store.h"
#include "clock/ui/backdrop_images.h"
#include "core/notices.h"
#include "library/library_store.h"

#include <QFileInfo>

BackdropChoice::BackdropChoice(StyleStore& store, LibraryStore* library, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_library(library)
{
    if (m_library) {
        m_paneflowID = m_library->currentID();
        connect(m_library, &LibraryStore::thumbnailVersionChanged, this, [this] {
            BackdropImages::forget();
            emit changed();
        });
        connect(m_library, &LibraryStore::itemsChanged, this, &BackdropChoice::changed);
    }
    m_currentObserver = Notifier::observe(Notices::paneflowCurrentChanged(), [this](const std::optional<QString>& object) {
        const QUuid id = QUuid::fromString(object.value_or(QString()));
        setPaneflowID(id.isNull() ? std::nullopt : std::optional<QUuid>(id));
    });
    connect(&m_store, &StyleStore::previewImagePathChanged, this, &BackdropChoice::changed);
}

void BackdropChoice::setPaneflowID(const std::optional<QUuid>& id)
{
    if (id == m_paneflowID)
        return;
    m_paneflowID = id;
    // The cards show the live wallpaper whatever the editor previews on.
    emit changed();
}

BackdropChoice::Kind BackdropChoice::kind() const
{
    if (m_wallpaper)
        return Kind::wallpaper;
    return m_store.previewImagePath() ? Kind::picture : Kind::liveWallpaper;
}

QString BackdropChoice::imagePath() const
{
    switch (kind()) {
    case Kind::picture:
        return *m_store.previewImagePath();
    case Kind::wallpaper:
        return m_library ? m_library->thumbnailPath(*m_wallpaper) : QString();
    case Kind::liveWallpaper:
        return m_library && m_paneflowID ? m_library->thumbnailPath(*m_paneflowID) : QString();
    }
    return {};
}

QString BackdropChoice::defaultPath() const
{
    if (const auto& path = m_store.previewImagePath())
        return *path;
    return m_library && m_paneflowID ? m_library->thumbnailPath(*m_paneflowID) : QString();
}

QImage BackdropChoice::load(const QString& path) const
{
    auto* self = const_cast<BackdropChoice*>(this);
    return BackdropImages::get(path, self, [self] { emit self->changed(); });
}

QImage BackdropChoice::image() const
{
    return load(imagePath());
}

QImage BackdropChoice::defaultImage() const
{
    return load(defaultPath());
}

QString BackdropChoice::caption() const
{
    return kind() == Kind::liveWallpaper ? QStringLiteral("ON THE DESKTOP PICTURE") : QString();
}

QString BackdropChoice::title() const
{
    switch (kind()) {
    case Kind::picture:
        return QFileInfo(*m_store.previewImagePath()).fileName();
    case Kind::wallpaper:
        if (const auto wallpaper = m_library ? m_library->wallpaper(*m_wallpaper) : std::nullopt)
            return wallpaper->name;
        return QString();
    case Kind::liveWallpaper:
        if (const auto wallpaper = m_library && m_paneflowID ? m_library->wallpaper(*m_paneflowID) : std::nullopt)
            return wallpaper->name;
        return QStringLiteral("Live wallpaper");
    }
    return {};
}

void BackdropChoice::chooseLiveWallpaper()
{
    m_wallpaper.reset();
    m_store.setPreviewImagePath(std::nullopt);
    emit changed();
}

void BackdropChoice::chooseWallpaper(const QUuid& id)
{
    m_wallpaper = id;
    m_store.setPreviewImagePath(std::nullopt);
    emit changed();
}

bool BackdropChoice::choosePicture(const QString& path, QString* error)
{
    if (!BackdropImages::isPicture(path)) {
        if (error)
            *error = QStringLiteral("“%1” isn't a picture that can be shown. Choose a PNG or JPEG picture instead.")
                         .arg(QFileInfo(path).fileName());
        return false;
    }
    m_wallpaper.reset();
    m_store.setPreviewImagePath(QFileInfo(path).absoluteFilePath());
    emit changed();
    return true;
}
