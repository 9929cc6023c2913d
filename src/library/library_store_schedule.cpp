#include "library/library_store.h"

#include <QRandomGenerator>

#include <algorithm>
#include <random>

QDate LibraryStore::day(const QDateTime& moment)
{
    // A day runs from 05:00 to 05:00 local time, so a change lands in the early morning.
    return moment.addSecs(-5 * 3600).toLocalTime().date();
}

QList<QUuid> LibraryStore::shuffledRound(const std::optional<QUuid>& after) const
{
    QList<QUuid> round;
    round.reserve(m_ensembles.size());
    for (const Ensemble& e : m_ensembles) {
        if (e.id != after)
            round.append(e.id);
    }
    std::shuffle(round.begin(), round.end(), *QRandomGenerator::global());
    return round;
}

void LibraryStore::setChanging(EnsembleChanging::Mode mode)
{
    EnsembleChanging changing = m_ensembleChanging;
    changing.mode = mode;
    switch (mode) {
    case EnsembleChanging::Mode::appearance: {
        const auto keepOrCurrent = [&](const std::optional<QUuid>& id) {
            return id && indexOfEnsemble(*id) >= 0 ? id : m_currentEnsembleID;
        };
        changing.lightEnsemble = keepOrCurrent(changing.lightEnsemble);
        changing.darkEnsemble = keepOrCurrent(changing.darkEnsemble);
        changing.setForDark.reset();
        break;
    }
    case EnsembleChanging::Mode::daily:
        changing.lastChange = QDateTime::currentDateTime();
        changing.deck = shuffledRound(m_currentEnsembleID);
        break;
    case EnsembleChanging::Mode::never:
        break;
    }
    setEnsembleChanging(changing);
}

void LibraryStore::setEnsembleForDark(const std::optional<QUuid>& id, bool dark)
{
    EnsembleChanging changing = m_ensembleChanging;
    (dark ? changing.darkEnsemble : changing.lightEnsemble) = id;
    changing.setForDark.reset();
    setEnsembleChanging(changing);
}

void LibraryStore::changeDailyIfDue(const QDateTime& now)
{
    if (m_ensembleChanging.mode != EnsembleChanging::Mode::daily || m_ensembles.size() < 2)
        return;
    EnsembleChanging changing = m_ensembleChanging;
    if (!changing.lastChange) {
        changing.lastChange = now;
        setEnsembleChanging(changing);
        return;
    }
    if (day(*changing.lastChange) == day(now))
        return;
    changing.deck.removeIf([&](const QUuid& id) { return indexOfEnsemble(id) < 0 || id == m_currentEnsembleID; });
    if (changing.deck.isEmpty())
        changing.deck = shuffledRound(m_currentEnsembleID);
    if (changing.deck.isEmpty())
        return;
    const QUuid next = changing.deck.takeFirst();
    if (changing.deck.isEmpty())
        changing.deck = shuffledRound(next);
    changing.lastChange = now;
    setEnsembleChanging(changing);
    setCurrentEnsembleID(next);
}

void LibraryStore::changeForAppearance(bool dark)
{
    if (m_ensembleChanging.mode != EnsembleChanging::Mode::appearance)
        return;
    if (m_ensembleChanging.setForDark == dark)
        return;
    EnsembleChanging changing = m_ensembleChanging;
    changing.setForDark = dark;
    setEnsembleChanging(changing);
    const std::optional<QUuid> target = dark ? changing.darkEnsemble : changing.lightEnsemble;
    if (target && indexOfEnsemble(*target) >= 0 && target != m_currentEnsembleID)
        setCurrentEnsembleID(target);
}
