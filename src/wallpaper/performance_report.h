#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// Reads the performance log back and sums it up in a few plain-text lines.
namespace PerformanceReport {

struct Row
{
    QDateTime time;
    bool playing = false;
    QString reason;
    double cpu = 0;
    double power = 0;
    double rss = 0;
    bool onBattery = false;
    std::optional<int> battery;
    std::optional<double> system;
};

// One line of the log (UTF-8, without its line end); none for the header and anything malformed.
std::optional<Row> parseRow(QByteArrayView line);
// Every well-formed row of a whole log.
QList<Row> parse(const QByteArray& csv);

// The report over the shared log.
QString text();
QString text(const QList<Row>& rows, const QString& logPath);

// Battery percent lost per hour over unplugged stretches of 10 minutes or more in one state;
// none when no stretch is long enough.
std::optional<double> drainPerHour(const QList<Row>& rows, bool playing);

} // namespace PerformanceReport
