#include "core/record_json.h"
#include "core/string_list_key.h"
#include "core/unique_name.h"
#include "library/built_ins.h"
#include "library/library_store.h"
#include "looks/look.h"
#include "looks/named_ref.h"
#include "platform/defaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString seededWallpapersKey = QStringLiteral("seededWallpapers");
const QString seededEnsemblesKey = QStringLiteral("seededEnsembles");
const QString pairedKey = QStringLiteral("pairedLooks");
const QString sizesKey = QStringLiteral("builtInSizes");

QStringList wallpaperNames(const QList<Wallpaper>& items)
{
    QStringList names;
    for (const Wallpaper& item : items)
        names.append(item.name);
    return names;
}

std::optional<qsizetype> shippedPosition(const Ensemble& ensemble)
{
    const QList<Ensemble>& shipped = BuiltInEnsembles::ensembles();
    for (qsizetype i = 0; i < shipped.size(); ++i) {
        if (ensemble.builtIn && shipped[i].builtIn == ensemble.builtIn)
            return i;
    }
    return std::nullopt;
}

} // namespace

QList<Wallpaper> LibraryStore::missingBuiltInWallpapers() const
{
    QList<Wallpaper> shipped;
    // A shipped file that is not there cannot be shown; offering it would only lose it again.
    for (const Wallpaper& item : BuiltInEnsembles::wallpapers()) {
        if (QFileInfo::exists(m_where.mediaPath(item)))
            shipped.append(item);
    }
    return RemovedBuiltIns::missing<Wallpaper, Wallpaper, Wallpaper>(
        shipped, [](const Wallpaper& w) { return *w.builtIn; }, m_items, [](const Wallpaper& w) { return w.builtIn; }, {},
        [](const Wallpaper& w, std::optional<QUuid>) { return w; });
}

QList<Ensemble> LibraryStore::missingBuiltInEnsembles() const
{
    QSet<QUuid> showable;
    for (const Wallpaper& item : m_items)
        showable.insert(item.id);
    for (const Wallpaper& item : missingBuiltInWallpapers())
        showable.insert(item.id);
    QList<Ensemble> shipped;
    for (const Ensemble& e : BuiltInEnsembles::ensembles()) {
        if (showable.contains(e.wallpaper))
            shipped.append(e);
    }
    return RemovedBuiltIns::missing<Ensemble, Ensemble, Ensemble>(
        shipped, [](const Ensemble& e) { return *e.builtIn; }, m_ensembles, [](const Ensemble& e) { return e.builtIn; }, {},
        [](const Ensemble& e, std::optional<QUuid>) { return e; });
}

void LibraryStore::restoreBuiltInWallpapers()
{
    QList<Wallpaper> restored = missingBuiltInWallpapers();
    if (restored.isEmpty())
        return;
    // A restored item whose id is still used by some other record keeps the other one.
    restored.removeIf([&](const Wallpaper& w) { return indexOfItem(w.id) >= 0; });
    UniqueName::fix(restored, &Wallpaper::name, wallpaperNames(m_items));
    QList<Wallpaper> items = m_items;
    items.append(restored);
    assignItems(std::move(items));
    save();
    m_services.thumbnails->makeMissing(*this, restored);
}

void LibraryStore::restoreBuiltInEnsembles()
{
    restoreBuiltInWallpapers();
    const QList<Ensemble> restored = missingBuiltInEnsembles();
    for (const Ensemble& e : restored) {
        if (indexOfEnsemble(e.id) < 0 && indexOfItem(e.wallpaper) >= 0)
            insertBuiltIn(e);
    }
    save();
}

void LibraryStore::restoreBuiltInEnsembles(ShippedLookSource* clock, ShippedLookSource* taskbar)
{
    const QList<Ensemble> restoring = missingBuiltInEnsembles();
    restoreBuiltInEnsembles();
    for (const Ensemble& shipped : restoring) {
        const auto now = ensemble(shipped.id);
        if (!now)
            continue;
        if (clock && shipped.clockPreset) {
            if (const auto id = clock->restoreShipped(*shipped.clockPreset))
                setLook(*now, LookSlot::clock, id);
        }
        if (taskbar && shipped.taskbarTheme) {
            if (const auto id = taskbar->restoreShipped(*shipped.taskbarTheme))
                setLook(*ensemble(shipped.id), LookSlot::taskbar, id);
        }
    }
}

void LibraryStore::insertBuiltIn(const Ensemble& ensemble, std::optional<qsizetype> index)
{
    if (indexOfEnsemble(ensemble.id) >= 0)
        return;
    Ensemble named = ensemble;
    QStringList names;
    for (const Ensemble& e : m_ensembles)
        names.append(e.name);
    named.name = UniqueName::make(ensemble.name, names);
    markPaired(named.id, true, true);
    QList<Ensemble> ensembles = m_ensembles;
    const qsizetype at = index.value_or(shippedPosition(ensemble).value_or(ensembles.size()));
    ensembles.insert(std::clamp<qsizetype>(at, 0, ensembles.size()), named);
    assignEnsembles(std::move(ensembles));
}

void LibraryStore::seedBuiltIns()
{
    Defaults& prefs = defaults();
    QStringList seededWallpapers = readStringList(prefs, seededWallpapersKey);
    QStringList seededEnsembles = readStringList(prefs, seededEnsemblesKey);
    const qsizetype wallpapersBefore = seededWallpapers.size();
    const qsizetype ensemblesBefore = seededEnsembles.size();
    bool changed = false;

    QList<Wallpaper> items = m_items;
    QList<Wallpaper> added;
    const QList<Wallpaper>& shipped = BuiltInEnsembles::wallpapers();
    for (qsizetype position = 0; position < shipped.size(); ++position) {
        const Wallpaper& builtIn = shipped[position];
        if (seededWallpapers.contains(*builtIn.builtIn))
            continue;
        // Offered only once its file is there; a build without the media offers it later.
        if (!QFileInfo::exists(m_where.mediaPath(builtIn)))
            continue;
        seededWallpapers.append(*builtIn.builtIn);
        const auto same = std::find_if(items.begin(), items.end(), [&](const Wallpaper& w) { return w.id == builtIn.id; });
        if (same != items.end()) {
            if (!same->builtIn) {
                // A copy an older version made in "Videos": the shipped file takes its place.
                QFile::moveToTrash(m_where.videos() + QLatin1Char('/') + same->fileName);
                *same = builtIn;
                added.append(builtIn);
                changed = true;
            }
            continue;
        }
        Wallpaper named = builtIn;
        named.name = UniqueName::make(builtIn.name, wallpaperNames(items));
        items.insert(std::min(position, items.size()), named);
        added.append(named);
        changed = true;
    }
    assignItems(std::move(items));

    QSet<QUuid> showable;
    for (const Wallpaper& item : m_items)
        showable.insert(item.id);
    for (const Ensemble& builtIn : BuiltInEnsembles::ensembles()) {
        if (seededEnsembles.contains(*builtIn.builtIn) || !showable.contains(builtIn.wallpaper))
            continue;
        seededEnsembles.append(*builtIn.builtIn);
        if (indexOfEnsemble(builtIn.id) >= 0)
            continue;
        insertBuiltIn(builtIn);
        changed = true;
    }

    if (seededWallpapers.size() != wallpapersBefore)
        writeStringList(prefs, seededWallpapersKey, seededWallpapers);
    if (seededEnsembles.size() != ensemblesBefore)
        writeStringList(prefs, seededEnsemblesKey, seededEnsembles);
    // Written even while starting up: the tags above say these items are in the files now.
    if (changed)
        writeIndexNow();
    if (!added.isEmpty())
        m_services.thumbnails->makeMissing(*this, added);
}

void LibraryStore::pairLooksByName()
{
    QStringList paired = readStringList(defaults(), pairedKey);
    const qsizetype storedCount = paired.size();
    QSet<QString> considered(paired.cbegin(), paired.cend());
    QList<Ensemble> ensembles = m_ensembles;
    bool changed = false;
    const std::pair<LookSlot, QList<NamedRef>> passes[] = {{LookSlot::clock, Look::clockPresets()},
                                                          {LookSlot::taskbar, Look::taskbarThemes()}};
    for (const auto& [slot, refs] : passes) {
        if (refs.isEmpty())
            continue;
        const QString prefix = slot == LookSlot::clock ? QStringLiteral("clock:") : QStringLiteral("taskbar:");
        for (Ensemble& e : ensembles) {
            const QString key = prefix + RecordJson::uuidText(e.id);
            if (considered.contains(key))
                continue;
            considered.insert(key);
            paired.append(key);
            std::optional<QUuid>& field = slot == LookSlot::clock ? e.clockPreset : e.taskbarTheme;
            if (field)
                continue;
            if (const auto match = nameMatch(e.name, refs)) {
                field = match->id;
                changed = true;
            }
        }
    }
    // With thousands of ensembles the list is long: rewrite it only when an ensemble joined it.
    if (paired.size() != storedCount)
        writeStringList(defaults(), pairedKey, paired);
    if (changed) {
        assignEnsembles(std::move(ensembles));
        save();
    }
}

void LibraryStore::nameFilesAfterWallpapers()
{
    bool changed = false;
    const QList<Wallpaper> items = m_items;
    for (const Wallpaper& item : items) {
        if (item.builtIn || !item.fileName.startsWith(RecordJson::uuidText(item.id), Qt::CaseInsensitive))
            continue;
        followName(item.id);
        changed = changed || wallpaper(item.id)->fileName != item.fileName;
    }
    if (changed)
        save();
}

void LibraryStore::refreshChangedBuiltIns()
{
    const QVariantMap stored = defaults().dictionary(sizesKey).value_or(QVariantMap {});
    QVariantMap sizes = stored;
    for (const Wallpaper& builtIn : BuiltInEnsembles::wallpapers()) {
        const QFileInfo file(m_where.mediaPath(builtIn));
        if (!file.exists())
            continue;
        const qlonglong size = file.size();
        const QVariant before = stored.value(*builtIn.builtIn);
        const bool same = before.typeId() == QMetaType::LongLong && before.toLongLong() == size;
        sizes.insert(*builtIn.builtIn, size);
        if (same)
            continue;
        QFile::remove(m_where.lockScreenPath(builtIn.fileName));
        if (const auto item = wallpaper(builtIn.id))
            m_services.thumbnails->remake(*this, *item);
    }
    if (sizes != stored)
        defaults().set(sizesKey, sizes);
}
