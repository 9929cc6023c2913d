#include "wallpaper/performance_report.h"

#include "wallpaper/performance_log.h"
#include "wallpaper/performance_recorder.h"

#include <QFile>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// A damaged or hand-made log may be huge; its tail is what matters.
constexpr qint64 maxLogBytes = 64 * 1024 * 1024;
// Two rows further apart than this belong to different stretches.
constexpr qint64 maxGapMs = 120 * 1000;
// A stretch must span this long to say anything about drain.
constexpr qint64 minStretchMs = 10 * 60 * 1000;

std::optional<double> finiteNumber(QStringView field)
{
    bool ok = false;
    const double value = field.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double hoursOf(qsizetype rows)
{
    return double(rows) * (PerformanceRecorder::intervalMs / 1000.0) / 3600.0;
}

} // namespace

std::optional<PerformanceReport::Row> PerformanceReport::parseRow(QStringView line)
{
    if (line.endsWith(u'\r'))
        line.chop(1);
    QStringView fields[PerformanceLog::columnCount];
    int count = 0;
    for (QStringView field : line.tokenize(u',')) {
        if (count == PerformanceLog::columnCount)
            return std::nullopt; // more fields than columns: something shifted them
        fields[count++] = field;
    }
    if (count != PerformanceLog::columnCount)
        return std::nullopt;

    Row row;
    row.time = QDateTime::fromString(fields[0].toString(), Qt::ISODate);
    if (!row.time.isValid())
        return std::nullopt;
    row.playing = fields[1] == u"playing";
    row.reason = fields[2].toString();
    const auto cpu = finiteNumber(fields[3]);
    const auto power = finiteNumber(fields[4]);
    const auto rss = finiteNumber(fields[5]);
    if (!cpu || !power || !rss)
        return std::nullopt;
    row.cpu = *cpu;
    row.power = *power;
    row.rss = *rss;
    row.onBattery = fields[6] == u"1";
    bool ok = false;
    const int battery = fields[7].toInt(&ok);
    if (ok)
        row.battery = battery;
    row.system = finiteNumber(fields[8]);
    return row;
}

QList<PerformanceReport::Row> PerformanceReport::parse(const QByteArray& csv)
{
    QList<Row> rows;
    rows.reserve(csv.count('\n') + 1);
    const QString text = QString::fromUtf8(csv);
    for (QStringView line : QStringView(text).tokenize(u'\n', Qt::SkipEmptyParts)) {
        if (auto row = parseRow(line))
            rows.append(std::move(*row));
    }
    return rows;
}

QString PerformanceReport::text()
{
    const QString path = PerformanceLog::path();
    QByteArray content;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        if (file.size() > maxLogBytes)
            file.seek(file.size() - maxLogBytes);
        content = file.read(maxLogBytes);
    }
    return text(parse(content), path);
}

QString PerformanceReport::text(const QList<Row>& rows, const QString& logPath)
{
    if (rows.isEmpty())
        return QStringLiteral("No data yet. Paneflow records a row every 30 seconds while it runs (log: ") + logPath
            + QLatin1Char(')');

    QStringList lines;
    const double spanHours = double(rows.first().time.msecsTo(rows.last().time)) / 3.6e6;
    lines << QString::asprintf("Paneflow performance — %d samples over %.1f h", int(rows.size()), spanHours);

    for (const bool playing : {true, false}) {
        int count = 0;
        double cpu = 0, power = 0, rss = 0;
        QHash<QString, int> reasons;
        for (const Row& r : rows) {
            if (r.playing != playing)
                continue;
            ++count;
            cpu += r.cpu;
            power += r.power;
            rss += r.rss;
            if (!playing)
                reasons[r.reason.isEmpty() ? QStringLiteral("other") : r.reason] += 1;
        }
        // A state that never occurred has no averages to show.
        if (count == 0)
            continue;
        lines << QString::asprintf("%s (%d samples, %.1f h): CPU %.1f%%, energy %.0f mW, memory %.0f MB",
                                   playing ? "Playing" : "Paused", count, hoursOf(count), cpu / count, power / count,
                                   rss / count);
        if (!playing) {
            QList<std::pair<QString, int>> shares;
            for (auto it = reasons.cbegin(); it != reasons.cend(); ++it)
                shares.append({it.key(), it.value()});
            std::sort(shares.begin(), shares.end(), [](const auto& a, const auto& b) {
                return a.second != b.second ? a.second > b.second : a.first < b.first;
            });
            for (const auto& [reason, n] : shares)
                lines << QStringLiteral("%1 %2%").arg(reason, QString::asprintf("%.0f", 100.0 * n / count));
        }
    }

    double systemSum = 0;
    int systemCount = 0;
    for (const Row& r : rows) {
        if (r.playing && r.system) {
            systemSum += *r.system;
            ++systemCount;
        }
    }
    if (systemCount > 0)
        lines << QString::asprintf("System CPU while playing: %.0f%% average", systemSum / systemCount);

    const auto playingDrain = drainPerHour(rows, true);
    const auto pausedDrain = drainPerHour(rows, false);
    if (playingDrain || pausedDrain) {
        QStringList parts;
        if (playingDrain)
            parts << QString::asprintf("%.1f%%/h playing", *playingDrain);
        if (pausedDrain)
            parts << QString::asprintf("%.1f%%/h paused", *pausedDrain);
        lines << QStringLiteral("Battery drain: ") + parts.join(QStringLiteral(", "))
                + QStringLiteral(" (all apps; compare over long unplugged stretches)");
    } else {
        lines << QStringLiteral("Battery drain: not enough unplugged time yet (needs 10+ minutes in one state)");
    }

    lines << QStringLiteral("Energy and CPU are Paneflow's own process. Log: ") + logPath;
    return lines.join(QLatin1Char('\n'));
}

std::optional<double> PerformanceReport::drainPerHour(const QList<Row>& rows, bool playing)
{
    double drop = 0;
    double hours = 0;
    const Row* first = nullptr;
    const Row* last = nullptr;
    const auto close = [&] {
        if (first && last) {
            const qint64 span = first->time.msecsTo(last->time);
            if (span >= minStretchMs) {
                drop += *first->battery - *last->battery;
                hours += double(span) / 3.6e6;
            }
        }
        first = last = nullptr;
    };
    for (const Row& row : rows) {
        if (!row.onBattery || row.playing != playing || !row.battery) {
            close();
            continue;
        }
        if (last && last->time.msecsTo(row.time) >= maxGapMs)
            close();
        if (!first)
            first = &row;
        last = &row;
    }
    close();
    if (hours <= 0)
        return std::nullopt;
    return drop / hours;
}
