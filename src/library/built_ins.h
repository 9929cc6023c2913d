#pragma once

#include "core/built_in_marks.h"
#include "library/ensemble.h"
#include "library/wallpaper.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

// The wallpapers and ensembles the app ships with, in their shipped order.
namespace BuiltInEnsembles {
const QList<Wallpaper>& wallpapers();
const QList<Ensemble>& ensembles();
// The date shipped wallpapers carry, so they sort before anything the user adds.
QDateTime distantPast();
} // namespace BuiltInEnsembles
