#pragma once

#include "library/ensemble.h"

#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// Finding ensembles the way links and menus name them.
namespace EnsembleLookup {

// The first ensemble whose name equals `text` ignoring case and accents; else the one whose id
// `text` is. Percent-encoded text ("Frog%20Pond") is also tried decoded.
std::optional<QUuid> named(const QList<Ensemble>& ensembles, const QString& text);

// The ensemble `step` places after (or, negative, before) `current` in list order, wrapping
// around; the first one when `current` is not listed; none for an empty list.
std::optional<QUuid> stepped(const QList<Ensemble>& ensembles, const std::optional<QUuid>& current, int step);

} // namespace EnsembleLookup
