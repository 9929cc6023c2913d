#include "library/library_store.h"

#include "core/record_json.h"
#include "core/string_list_key.h"
#include "core/unique_name.h"
#include "media/video_info.h"
#include "platform/defaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcLibrary, "zentrove.library")

namespace {

const QString pairedKey = QStringLiteral("pairedLooks");

QString clean(const QString& name)
{
    return name.trimmed();
}

QStringList namesOf(const QList<Wallpaper>& items, const std::optional<QUuid>& except = std::nullopt)
{
    QStringList names;
    names.reserve(items.size());
    for (const Wallpaper& item : items) {
        if (item.id != except)
            names.append(item.name);
    }
    return names;
}

QStringList namesOf(const QList<Ensemble>& ensembles, const std::optional<QUuid>& except = std::nullopt)
{
    QStringList names;
    names.reserve(ensembles.size());
    for (const Ensemble& e : ensembles) {
        if (e.id != except)
            names.append(e.name);
    }
    return names;
}

QString extensionOf(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? fileName.mid(dot + 1) : QString();
}

} // namespace

// MARK: wallpapers

void LibraryStore::rename(const Wallpaper& wallpaper, const QString& name)
{
    const QString trimmed = clean(name);
    const qsizetype index = indexOfItem(wallpaper.id);
    if (trimmed.isEmpty() || index < 0)
        return;
    const QString oldName = m_items[index].name;
    const QString newName = UniqueName::make(trimmed, namesOf(m_items, wallpaper.id));
    QList<Wallpaper> items = m_items;
    items[index].name = newName;
    QList<Ensemble> ensembles = m_ensembles;
    for (Ensemble& e : ensembles) {
        if (e.wallpaper == wallpaper.id && e.name == oldName)
            e.name = UniqueName::make(newName, namesOf(ensembles, e.id));
    }
    assignItems(std::move(items));
    assignEnsembles(std::move(ensembles));
    if (!m_items[index].builtIn)
        followName(wallpaper.id);
    save();
}

void LibraryStore::followName(const QUuid& wallpaperID)
{
    const qsizetype index = indexOfItem(wallpaperID);
    if (index < 0 || m_items[index].builtIn)
        return;
    const Wallpaper item = m_items[index];
    const QString newFileName = uniqueFileName(item.name, extensionOf(item.fileName), item.id);
    if (newFileName == item.fileName)
        return;
    const QString from = m_where.videos() + QLatin1Char('/') + item.fileName;
    const QString to = m_where.videos() + QLatin1Char('/') + newFileName;
    QFile file(from);
    if (!file.rename(to)) {
        qCWarning(lcLibrary).noquote() << QStringLiteral("Paneflow: couldn't rename ") + item.fileName + QStringLiteral(" to ")
                                              + newFileName + QStringLiteral(": ") + file.errorString();
        return;
    }
    QList<Wallpaper> items = m_items;
    items[index].fileName = newFileName;
    assignItems(std::move(items));
    const QString oldCopy = m_where.lockScreenPath(item.fileName);
    const QString newCopy = m_where.lockScreenPath(newFileName);
    if (QFileInfo::exists(oldCopy) && !QFileInfo::exists(newCopy))
        QFile::rename(oldCopy, newCopy);
}

QString LibraryStore::uniqueFileName(const QString& title, const QString& extension, const std::optional<QUuid>& ignoring) const
{
    QString base = title;
    base.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char(':'), QLatin1Char('-'));
    base = base.trimmed();
    if (base.isEmpty() || base.startsWith(QLatin1Char('.')))
        base.prepend(QStringLiteral("Wallpaper"));
    QSet<QString> taken = m_pendingFileNames;
    QString ownFile;
    for (const Wallpaper& item : m_items) {
        if (item.id == ignoring)
            ownFile = item.fileName.toLower();
        else
            taken.insert(item.fileName.toLower());
    }
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    for (qlonglong n = 1;; ++n) {
        const QString candidate = n == 1 ? base + suffix : base + QLatin1Char(' ') + QString::number(n) + suffix;
        const QString lower = candidate.toLower();
        if (taken.contains(lower))
            continue;
        if (lower != ownFile && QFileInfo::exists(m_where.videos() + QLatin1Char('/') + candidate))
            continue;
        return candidate;
    }
}

void LibraryStore::remove(const Wallpaper& wallpaper)
{
    const qsizetype index = indexOfItem(wallpaper.id);
    if (index < 0)
        return;
    const Wallpaper item = m_items[index];
    if (m_currentID == item.id)
        setCurrentID(std::nullopt);
    QList<Wallpaper> items = m_items;
    items.removeAt(indexOfItem(item.id));
    assignItems(std::move(items));
    QList<Ensemble> ensembles = m_ensembles;
    ensembles.removeIf([&](const Ensemble& e) { return e.wallpaper == item.id; });
    assignEnsembles(std::move(ensembles));
    if (!item.builtIn)
        QFile::remove(m_where.videos() + QLatin1Char('/') + item.fileName);
    // What was read about the file goes with it: a later file of that name is another one.
    VideoInfo::forget(m_where.mediaPath(item));
    m_dynamic.remove(m_where.mediaPath(item));
    QFile::remove(m_where.thumbnailPath(item.id));
    QFile::remove(m_where.lockScreenPath(item.fileName));
    save();
}

void LibraryStore::use(const Wallpaper& wallpaper, const ScreenInfo& screen)
{
    if (indexOfItem(wallpaper.id) < 0)
        return;
    std::optional<Ensemble> chosen = ensembleToUse(wallpaper);
    if (!chosen)
        chosen = addEnsemble(wallpaper.id, m_items[indexOfItem(wallpaper.id)].name);
    if (Screens::isMain(screen))
        setCurrentEnsembleID(chosen->id);
    setEnsemble(chosen->id, screen);
}

void LibraryStore::useEverywhere(const Wallpaper& wallpaper)
{
    if (indexOfItem(wallpaper.id) < 0)
        return;
    std::optional<Ensemble> chosen = ensembleToUse(wallpaper);
    if (!chosen)
        chosen = addEnsemble(wallpaper.id, m_items[indexOfItem(wallpaper.id)].name);
    setCurrentEnsembleID(chosen->id);
    DisplayMap map = m_displayEnsembles;
    for (const ScreenInfo& screen : Screens::all()) {
        if (screen.displayUUID)
            map.remove(*screen.displayUUID);
    }
    assignDisplayEnsembles(map);
}

void LibraryStore::importFiles(const QList<QUrl>& files)
{
    m_services.importer->importFiles(*this, files);
}

void LibraryStore::refresh(const Wallpaper& wallpaper)
{
    if (indexOfItem(wallpaper.id) >= 0)
        m_services.thumbnails->remake(*this, wallpaper);
}

void LibraryStore::refresh()
{
    m_services.thumbnails->refreshAll(*this);
    pairLooksByName();
}

void LibraryStore::addWallpaper(const Wallpaper& wallpaper, bool mayBecomeCurrent)
{
    if (indexOfItem(wallpaper.id) >= 0)
        return;
    m_dynamic.remove(m_where.mediaPath(wallpaper));
    QList<Wallpaper> items = m_items;
    items.append(wallpaper);
    assignItems(std::move(items));
    save();
    // A current wallpaper among records that could not be read is still the current one.
    if (mayBecomeCurrent && !current() && !(m_currentID && m_itemsIncomplete))
        setCurrentID(wallpaper.id);
}

void LibraryStore::replaceWallpaper(const Wallpaper& wallpaper)
{
    const qsizetype index = indexOfItem(wallpaper.id);
    if (index < 0)
        return;
    m_dynamic.remove(m_where.mediaPath(m_items[index]));
    QList<Wallpaper> items = m_items;
    items[index] = wallpaper;
    assignItems(std::move(items));
    save();
}

// MARK: ensembles

void LibraryStore::markPaired(const QUuid& ensembleID, bool clock, bool taskbar)
{
    QStringList paired = readStringList(defaults(), pairedKey);
    const QString id = RecordJson::uuidText(ensembleID);
    const qsizetype before = paired.size();
    if (clock && !paired.contains(QStringLiteral("clock:") + id))
        paired.append(QStringLiteral("clock:") + id);
    if (taskbar && !paired.contains(QStringLiteral("taskbar:") + id))
        paired.append(QStringLiteral("taskbar:") + id);
    if (paired.size() != before)
        writeStringList(defaults(), pairedKey, paired);
}

Ensemble LibraryStore::addEnsemble(const QUuid& wallpaper, const QString& name)
{
    Ensemble made;
    made.name = UniqueName::make(name, namesOf(m_ensembles));
    made.wallpaper = wallpaper;
    markPaired(made.id, true, true);
    QList<Ensemble> ensembles = m_ensembles;
    ensembles.append(made);
    assignEnsembles(std::move(ensembles));
    save();
    return made;
}

Ensemble LibraryStore::duplicateEnsemble(const Ensemble& source, const std::optional<QString>& name)
{
    Ensemble copy;
    copy.name = UniqueName::make(name.value_or(source.name), namesOf(m_ensembles));
    copy.wallpaper = source.wallpaper;
    copy.clockPreset = source.clockPreset;
    copy.taskbarTheme = source.taskbarTheme;
    markPaired(copy.id, true, true);
    QList<Ensemble> ensembles = m_ensembles;
    const qsizetype at = indexOfEnsemble(source.id);
    ensembles.insert(at < 0 ? ensembles.size() : at + 1, copy);
    assignEnsembles(std::move(ensembles));
    save();
    return copy;
}

void LibraryStore::insert(const Ensemble& ensemble, qsizetype index)
{
    if (indexOfEnsemble(ensemble.id) >= 0)
        return;
    markPaired(ensemble.id, true, true);
    QList<Ensemble> ensembles = m_ensembles;
    ensembles.insert(std::clamp<qsizetype>(index, 0, ensembles.size()), ensemble);
    assignEnsembles(std::move(ensembles));
    save();
}

void LibraryStore::renameEnsemble(const Ensemble& ensemble, const QString& name)
{
    const QString trimmed = clean(name);
    const qsizetype index = indexOfEnsemble(ensemble.id);
    if (trimmed.isEmpty() || index < 0)
        return;
    QList<Ensemble> ensembles = m_ensembles;
    ensembles[index].name = UniqueName::make(trimmed, namesOf(m_ensembles, ensemble.id));
    assignEnsembles(std::move(ensembles));
    save();
}

void LibraryStore::setWallpaper(const Ensemble& ensemble, const QUuid& wallpaper)
{
    const qsizetype index = indexOfEnsemble(ensemble.id);
    if (index < 0 || indexOfItem(wallpaper) < 0)
        return;
    QList<Ensemble> ensembles = m_ensembles;
    ensembles[index].wallpaper = wallpaper;
    assignEnsembles(std::move(ensembles));
    save();
    if (m_currentEnsembleID == ensemble.id && m_currentID != wallpaper)
        setCurrentID(wallpaper);
}

void LibraryStore::setLook(const Ensemble& ensemble, LookSlot slot, const std::optional<QUuid>& id)
{
    const qsizetype index = indexOfEnsemble(ensemble.id);
    if (index < 0)
        return;
    QList<Ensemble> ensembles = m_ensembles;
    (slot == LookSlot::clock ? ensembles[index].clockPreset : ensembles[index].taskbarTheme) = id;
    markPaired(ensemble.id, slot == LookSlot::clock, slot == LookSlot::taskbar);
    assignEnsembles(std::move(ensembles));
    save();
    if (m_currentEnsembleID == ensemble.id)
        applyLook(m_ensembles[index]);
}

void LibraryStore::removeEnsemble(const Ensemble& ensemble)
{
    const qsizetype index = indexOfEnsemble(ensemble.id);
    if (index < 0)
        return;
    if (m_currentEnsembleID == ensemble.id)
        setCurrentEnsembleID(std::nullopt);
    DisplayMap map = m_displayEnsembles;
    map.removeIf([&](const auto& entry) { return entry.value() == ensemble.id; });
    assignDisplayEnsembles(map);
    QList<Ensemble> ensembles = m_ensembles;
    ensembles.removeAt(indexOfEnsemble(ensemble.id));
    assignEnsembles(std::move(ensembles));
    save();
}

void LibraryStore::setEnsemble(const std::optional<QUuid>& id, const ScreenInfo& screen)
{
    if (Screens::isMain(screen) || !screen.displayUUID)
        return;
    DisplayMap map = m_displayEnsembles;
    if (id)
        map.insert(*screen.displayUUID, *id);
    else
        map.remove(*screen.displayUUID);
    assignDisplayEnsembles(map);
}

