#pragma once

#include <QDateTime>
#include <QString>

// A date relative to now, in words, with named days where the language has them: "yesterday",
// "3 days ago", "in 2 hours".
namespace RelativeDate {
QString named(const QDateTime& when, const QDateTime& now);
}
