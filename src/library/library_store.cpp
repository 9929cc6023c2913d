#include "library/library_store.h"

#include "core/notices.h"
#include "core/record_json.h"
#include "core/settings_sync.h"
#include "looks/look.h"
#include "looks/look_request.h"
#include "media/image_info.h"
#include "media/media_kind.h"
#include "platform/defaults.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcLibrary)

namespace {
const QString currentIDKey = QStringLiteral("currentID");
const QString currentEnsembleKey = QStringLiteral("currentEnsembleID");
const QString changingKey = QStringLiteral("ensembleChanging");
const QString startedKey = QStringLiteral("startedOnFirstEnsemble");

} // namespace

LibraryStore::LibraryStore(const QString& domain, bool isEngine, LibraryLocations where, LibraryServices services, QObject* parent)
    : QObject(parent)
    , m_domain(domain)
    , m_isEngine(isEngine)
    , m_where(std::move(where))
    , m_services(std::move(services))
    , m_rule(domain)
    , m_switches(domain, m_rule)
    , m_log(domain, m_rule, isEngine)
{
    start();
}

LibraryStore::~LibraryStore() = default;

Defaults& LibraryStore::defaults() const
{
    return Defaults::domain(m_domain);
}

void LibraryStore::start()
{
    bool currentEnsembleStored = false;
    m_rule.reloading([&] {
        readSettings();
        setCurrentID(readUuidKey(currentIDKey));
        QDir().mkpath(m_where.videos());
        QDir().mkpath(m_where.thumbnails());
        readIndex(true);
        seedBuiltIns();
        const auto stored = readUuidKey(currentEnsembleKey);
        currentEnsembleStored = stored.has_value();
        std::optional<QUuid> first = stored;
        if (!first && m_currentID && indexOfEnsemble(*m_currentID) >= 0)
            first = m_currentID;
        setCurrentEnsembleID(first);
    });
    if (!currentEnsembleStored && m_currentEnsembleID)
        writeUuidKey(currentEnsembleKey, m_currentEnsembleID);

    refreshAccent();

    // First start: show the first ensemble, unless a wallpaper is already showing.
    if (!m_currentEnsembleID && !defaults().boolean(startedKey, false) && !m_ensembles.isEmpty() && !current())
        setCurrentEnsembleID(m_ensembles.first().id);
    if (!defaults().boolean(startedKey, false))
        defaults().set(startedKey, true);

    if (!m_isEngine)
        m_log.readEngine();

    dropUnlistedCurrent();

    m_changeObserver = SettingsSync::observe(m_domain, [this] { reload(); });
    m_displayObserver = DisplayEnsembles::observe([this](const DisplayMap& map) {
        m_rule.reloading([&] { assignDisplayEnsembles(map); });
    });
}

void LibraryStore::dropUnlistedCurrent()
{
    // Not found because an index could not be read is not gone: it stays current.
    if (m_currentID && indexOfItem(*m_currentID) < 0 && !m_itemsIncomplete)
        setCurrentID(std::nullopt);
    if (m_currentEnsembleID && indexOfEnsemble(*m_currentEnsembleID) < 0 && !m_ensemblesIncomplete)
        setCurrentEnsembleID(std::nullopt);
}

void LibraryStore::readSettings()
{
    m_switches.read();
    assignDisplayEnsembles(DisplayEnsembles::saved());
    setEnsembleChanging(readChanging());
}

void LibraryStore::readIndex(bool atStart)
{
    IndexRead<Wallpaper> library = LibraryFiles::readWallpaperIndex(m_where);
    std::optional<IndexRead<Ensemble>> ensembles = LibraryFiles::readEnsembleIndex(m_where, library.records);
    noteDamage(library.damaged, true);
    if (ensembles) {
        noteDamage(ensembles->damaged, false);
        // The ensembles of wallpapers that could not be read are left out as well: that file is
        // kept along with the library's.
        if (library.damaged && !ensembles->damaged)
            noteDamage(DamagedIndex::of(m_where.ensemblesFile(), QStringLiteral("its wallpapers could not all be read")), false);
    }
    const bool firstStart = !ensembles && atStart;
    QList<Ensemble> list;
    if (ensembles)
        list = std::move(ensembles->records);
    else if (atStart)
        list = LibraryFiles::ensemblesFromWallpapers(library.records);
    assignItems(std::move(library.records));
    assignEnsembles(std::move(list));
    if (firstStart)
        writeIndexNow();
}

void LibraryStore::noteDamage(const std::optional<DamagedIndex>& damage, bool library)
{
    if (!damage)
        return;
    m_ensemblesIncomplete = true;
    if (library)
        m_itemsIncomplete = true;
    if (m_toKeep.contains(*damage))
        return;
    // A damaged file replaced by another damaged one: only the one on disk can still be kept.
    m_toKeep.removeIf([&](const DamagedIndex& known) { return known.path == damage->path; });
    m_toKeep.append(*damage);
    qCWarning(lcLibrary).noquote() << QStringLiteral("Paneflow: couldn't read all of ") + QFileInfo(damage->path).fileName()
                                          + QStringLiteral(" (") + damage->reason + QStringLiteral("); using what could be read");
}

// Before an index file is written over, a damaged version read earlier is copied aside. False
// when that copy cannot be made: the file is then not written over.
bool LibraryStore::keepDamaged(const QString& path)
{
    const auto pending = std::find_if(m_toKeep.begin(), m_toKeep.end(), [&](const DamagedIndex& d) { return d.path == path; });
    if (pending == m_toKeep.end())
        return true;
    const QString name = QFileInfo(path).fileName();
    const std::optional<QString> copy = LibraryFiles::keepDamaged(*pending);
    if (!copy) {
        qCWarning(lcLibrary).noquote() << QStringLiteral("Paneflow: couldn't keep a copy of ") + name
                                              + QStringLiteral(", which could not be read in full; it is not written over");
        return false;
    }
    if (!copy->isEmpty())
        qCWarning(lcLibrary).noquote() << QStringLiteral("Paneflow: kept ") + name + QStringLiteral(" as ")
                                              + QFileInfo(*copy).fileName() + QStringLiteral(" before writing it again");
    m_toKeep.erase(pending);
    return true;
}

void LibraryStore::reload()
{
    m_rule.reloading([&] {
        defaults().sync();
        readIndex(false);
        setCurrentEnsembleID(readUuidKey(currentEnsembleKey));
        setCurrentID(readUuidKey(currentIDKey));
        readSettings();
        if (!m_isEngine)
            m_log.readEngine();
    });
}

// MARK: state

void LibraryStore::setImporting(int count)
{
    if (m_importing == count)
        return;
    m_importing = count;
    emit importingChanged();
}

void LibraryStore::bumpThumbnailVersion()
{
    ++m_thumbnailVersion;
    emit thumbnailVersionChanged();
}

void LibraryStore::setEnsembleChanging(const EnsembleChanging& changing)
{
    m_rule.assign(m_ensembleChanging, changing, [&] {
        const QByteArray bytes = changing.encode();
        if (bytes.isEmpty())
            defaults().remove(changingKey);
        else
            defaults().set(changingKey, bytes);
    }, [&] { emit ensembleChangingChanged(); });
}

void LibraryStore::setCurrentEnsembleID(const std::optional<QUuid>& id)
{
    const std::optional<QUuid> old = m_currentEnsembleID;
    if (m_rule.assign(m_currentEnsembleID, id, [&] { writeUuidKey(currentEnsembleKey, id); },
                      [&] { emit currentEnsembleIDChanged(); }))
        currentEnsembleDidChange(old);
}

void LibraryStore::setCurrentID(const std::optional<QUuid>& id)
{
    const std::optional<QUuid> old = m_currentID;
    if (m_rule.assign(m_currentID, id, [&] { writeUuidKey(currentIDKey, id); }, [&] { emit currentIDChanged(); }))
        currentDidChange(old);
}

void LibraryStore::currentEnsembleDidChange(const std::optional<QUuid>& old)
{
    if (old == m_currentEnsembleID || !m_currentEnsembleID)
        return;
    const auto ensemble = this->ensemble(*m_currentEnsembleID);
    if (!ensemble)
        return;
    if (m_currentID != ensemble->wallpaper)
        setCurrentID(ensemble->wallpaper);
    applyLook(*ensemble);
}

void LibraryStore::currentDidChange(const std::optional<QUuid>& old)
{
    if (old == m_currentID)
        return;
    const auto shown = currentEnsemble();
    if (!shown || shown->wallpaper != m_currentID) {
        const auto match = m_currentID ? ensembleFor(*m_currentID) : std::nullopt;
        setCurrentEnsembleID(match ? std::optional<QUuid>(match->id) : std::nullopt);
    }
    // Reloading takes over what another process did: that process already told everyone.
    if (m_rule.isReloading())
        return;
    refreshAccent();
    Notifier::post(Notices::paneflowCurrentChanged(), m_currentID ? RecordJson::uuidText(*m_currentID) : QString());
}

void LibraryStore::applyLook(const Ensemble& ensemble)
{
    if (m_rule.isReloading())
        return;
    if (!ensemble.clockPreset && !ensemble.taskbarTheme)
        return;
    LookRequest {ensemble.clockPreset, ensemble.taskbarTheme, LookRequest::now()}.publish(defaults());
}

void LibraryStore::refreshAccent()
{
    m_services.accent->refresh(m_currentID ? thumbnailPath(*m_currentID) : QString());
}

void LibraryStore::assignItems(QList<Wallpaper> items)
{
    if (items == m_items)
        return;
    m_items = std::move(items);
    emit itemsChanged();
}

void LibraryStore::assignEnsembles(QList<Ensemble> ensembles)
{
    if (ensembles == m_ensembles)
        return;
    m_ensembles = std::move(ensembles);
    emit ensemblesChanged();
}

void LibraryStore::assignDisplayEnsembles(const DisplayMap& map)
{
    m_rule.assign(m_displayEnsembles, map, [&] { DisplayEnsembles::save(map); }, [&] { emit displayEnsemblesChanged(); });
}

void LibraryStore::save()
{
    if (!m_rule.isReloading())
        writeIndexNow();
}

void LibraryStore::writeIndexNow()
{
    if (keepDamaged(m_where.libraryFile()))
        LibraryFiles::writeWallpapers(m_where, m_items);
    if (keepDamaged(m_where.ensemblesFile()))
        LibraryFiles::writeEnsembles(m_where, m_ensembles);
    SettingsSync::changed(m_domain);
}

std::optional<QUuid> LibraryStore::readUuidKey(const QString& key) const
{
    const auto text = defaults().string(key);
    return text ? RecordJson::parseUuid(QStringView(*text)) : std::nullopt;
}

void LibraryStore::writeUuidKey(const QString& key, const std::optional<QUuid>& id)
{
    if (id)
        defaults().set(key, RecordJson::uuidText(*id));
    else
        defaults().remove(key);
}

EnsembleChanging LibraryStore::readChanging() const
{
    const auto bytes = defaults().data(changingKey);
    return (bytes ? EnsembleChanging::decode(*bytes) : std::nullopt).value_or(EnsembleChanging {});
}

// MARK: derived values

qsizetype LibraryStore::indexOfItem(const QUuid& id) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i].id == id)
            return i;
    }
    return -1;
}

qsizetype LibraryStore::indexOfEnsemble(const QUuid& id) const
{
    for (qsizetype i = 0; i < m_ensembles.size(); ++i) {
        if (m_ensembles[i].id == id)
            return i;
    }
    return -1;
}

std::optional<Wallpaper> LibraryStore::wallpaper(const QUuid& id) const
{
    const qsizetype i = indexOfItem(id);
    return i < 0 ? std::nullopt : std::optional<Wallpaper>(m_items[i]);
}

std::optional<Ensemble> LibraryStore::ensemble(const QUuid& id) const
{
    const qsizetype i = indexOfEnsemble(id);
    return i < 0 ? std::nullopt : std::optional<Ensemble>(m_ensembles[i]);
}

std::optional<Wallpaper> LibraryStore::current() const
{
    return m_currentID ? wallpaper(*m_currentID) : std::nullopt;
}

std::optional<Ensemble> LibraryStore::currentEnsemble() const
{
    return m_currentEnsembleID ? ensemble(*m_currentEnsembleID) : std::nullopt;
}

std::optional<Ensemble> LibraryStore::ownEnsemble(const ScreenInfo& screen) const
{
    const auto id = DisplayEnsembles::ownEnsemble(screen, m_displayEnsembles);
    return id ? ensemble(*id) : std::nullopt;
}

std::optional<Wallpaper> LibraryStore::wallpaperOn(const ScreenInfo& screen) const
{
    if (const auto own = ownEnsemble(screen)) {
        if (const auto shown = wallpaperOf(*own))
            return shown;
    }
    return current();
}

std::optional<Ensemble> LibraryStore::ensembleFor(const QUuid& wallpaperID) const
{
    std::optional<Ensemble> first;
    for (const Ensemble& e : m_ensembles) {
        if (e.wallpaper != wallpaperID)
            continue;
        if (e.id == wallpaperID)
            return e;
        if (!first)
            first = e;
    }
    return first;
}

std::optional<Ensemble> LibraryStore::ensembleToUse(const Wallpaper& wallpaper) const
{
    if (const auto shown = currentEnsemble(); shown && shown->wallpaper == wallpaper.id)
        return shown;
    for (const ScreenInfo& screen : Screens::all()) {
        if (const auto own = ownEnsemble(screen); own && own->wallpaper == wallpaper.id)
            return own;
    }
    return ensembleFor(wallpaper.id);
}

int LibraryStore::ensembleCountOfWallpaper(const QUuid& id) const
{
    return int(std::count_if(m_ensembles.cbegin(), m_ensembles.cend(), [&](const Ensemble& e) { return e.wallpaper == id; }));
}

int LibraryStore::ensembleCountOfClock(const QUuid& id) const
{
    return int(std::count_if(m_ensembles.cbegin(), m_ensembles.cend(), [&](const Ensemble& e) { return e.clockPreset == id; }));
}

int LibraryStore::ensembleCountOfTaskbar(const QUuid& id) const
{
    return int(std::count_if(m_ensembles.cbegin(), m_ensembles.cend(), [&](const Ensemble& e) { return e.taskbarTheme == id; }));
}

QString LibraryStore::ensembleCountText(int n)
{
    if (n == 0)
        return QStringLiteral("NOT USED");
    if (n == 1)
        return QStringLiteral("IN 1 ENSEMBLE");
    return QStringLiteral("IN ") + QString::number(n) + QStringLiteral(" ENSEMBLES");
}

bool LibraryStore::isDynamic(const Wallpaper& wallpaper) const
{
    const QString path = mediaPath(wallpaper);
    if (const auto known = m_dynamic.constFind(path); known != m_dynamic.cend())
        return *known;
    const bool dynamic = MediaKind::isImage(path) && ImageInfo::isDynamic(path);
    m_dynamic.insert(path, dynamic);
    return dynamic;
}

std::optional<Wallpaper> LibraryStore::homeWallpaper(const std::function<bool(const Ensemble&)>& condition) const
{
    if (const auto shown = currentEnsemble(); shown && condition(*shown))
        return wallpaperOf(*shown);
    for (const Ensemble& e : m_ensembles) {
        if (condition(e))
            return wallpaperOf(e);
    }
    return std::nullopt;
}
