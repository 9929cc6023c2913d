#include "menubar/ensemble_menu_model.h"

#include "core/settings_sync.h"
#include "core/zentrove.h"

EnsembleMenuModel::EnsembleMenuModel(QObject* parent)
    : QObject(parent)
{
    m_observer = SettingsSync::observe(Zentrove::paneflowID(), [this] {
        reload();
        emit reloaded();
    });
    m_displayObserver = DisplayEnsembles::observe([this](const DisplayMap& map) {
        if (map == m_displayEnsembles)
            return;
        m_displayEnsembles = map;
        emit changed();
    });
    connect(&ScreensWatch::shared(), &ScreensWatch::changed, this, &EnsembleMenuModel::changed);
    reload();
}

void EnsembleMenuModel::reload()
{
    QList<EnsembleEntry> ensembles = EnsembleTheme::all();
    const std::optional<QUuid> currentID = EnsembleTheme::currentID();
    DisplayMap displays = DisplayEnsembles::saved();
    if (ensembles == m_ensembles && currentID == m_currentID && displays == m_displayEnsembles)
        return;
    m_ensembles = std::move(ensembles);
    m_currentID = currentID;
    m_displayEnsembles = std::move(displays);
    emit changed();
}

void EnsembleMenuModel::setDisplayID(std::optional<quint32> id)
{
    if (id == m_displayID)
        return;
    m_displayID = id;
    emit changed();
}

void EnsembleMenuModel::setOwn(const std::optional<QUuid>& id)
{
    const std::optional<ScreenInfo> screen = chosen();
    if (!screen || onMain() || !screen->displayUUID)
        return;
    DisplayMap map = DisplayEnsembles::saved();
    if (id)
        map.insert(*screen->displayUUID, *id);
    else
        map.remove(*screen->displayUUID);
    DisplayEnsembles::save(map);
    m_displayEnsembles = map;
    emit changed();
}

void EnsembleMenuModel::opened(const ScreenInfo& screen)
{
    setDisplayID(DisplayEnsembles::ownEnsemble(screen, m_displayEnsembles) ? std::optional<quint32>(screen.displayID) : std::nullopt);
}

std::optional<ScreenInfo> EnsembleMenuModel::chosen() const
{
    const QList<ScreenInfo> all = screens();
    if (all.isEmpty())
        return std::nullopt;
    if (m_displayID)
        for (const ScreenInfo& screen : all)
            if (screen.displayID == *m_displayID)
                return screen;
    return all.first();
}

bool EnsembleMenuModel::onMain() const
{
    const QList<ScreenInfo> all = screens();
    const std::optional<ScreenInfo> screen = chosen();
    return !screen || screen->displayID == all.first().displayID;
}

std::optional<QUuid> EnsembleMenuModel::inUseID() const
{
    if (onMain())
        return m_currentID;
    if (const std::optional<QUuid> own = DisplayEnsembles::ownEnsemble(*chosen(), m_displayEnsembles))
        return own;
    return m_currentID;
}

bool EnsembleMenuModel::followsMain() const
{
    return !onMain() && !DisplayEnsembles::ownEnsemble(*chosen(), m_displayEnsembles);
}

std::optional<EnsembleEntry> EnsembleMenuModel::entry(const std::optional<QUuid>& id) const
{
    if (!id)
        return std::nullopt;
    for (const EnsembleEntry& ensemble : m_ensembles)
        if (ensemble.id == *id)
            return ensemble;
    return std::nullopt;
}

std::optional<EnsembleEntry> EnsembleMenuModel::current() const
{
    return entry(m_currentID);
}

std::optional<EnsembleEntry> EnsembleMenuModel::shown() const
{
    if (std::optional<EnsembleEntry> inUse = entry(inUseID()))
        return inUse;
    return current();
}

QString EnsembleMenuModel::name(const ScreenInfo& screen)
{
    if (screen.builtIn)
        return QStringLiteral("Built-in Display");
    if (!screen.localizedName.isEmpty())
        return screen.localizedName;
    return screen.name;
}
