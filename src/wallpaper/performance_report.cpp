#include "wallpaper/performance_report.h"

#include "wallpaper/performance_log.h"
#include "wallpaper/performance_recorder.h"

#include <QFile>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// A damaged or hand-made log may be huge; its tail is what matters.
constexpr qint64 maxLogBytes = 64 * 1024 * 1024;
// Two rows further apart than this belong to different stretches.
constexpr qint64 maxGapMs = 120 * 1000;
// A stretch must span this long to say anything about drain.
constexpr qint64 minStretchMs = 10 * 60 * 1000;

// Numbers are read with std::from_chars: locale-free, and many times faster than going through
// QString for the hundreds of thousands of fields of a full log.
std::optional<double> finiteNumber(QByteArrayView field)
{
    double value = 0;
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (ec != std::errc() || ptr != end || field.isEmpty() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> integer(QByteArrayView field)
{
    int value = 0;
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (ec != std::errc() || ptr != end || field.isEmpty())
        return std::nullopt;
    return value;
}

// The recorder writes "yyyy-MM-ddTHH:mm:ssZ"; that shape is read by its parts (QDate and QTime
// still judge whether it is a real date), anything else goes to the general ISO 8601 reader.
QDateTime parseTime(QByteArrayView text)
{
    const auto at = [&](qsizetype from, qsizetype length) { return integer(text.sliced(from, length)).value_or(-1); };
    if (text.size() == 20 && text[4] == '-' && text[7] == '-' && text[10] == 'T' && text[13] == ':' && text[16] == ':'
        && text[19] == 'Z') {
        const QDate date(at(0, 4), at(5, 2), at(8, 2));
        const QTime time(at(11, 2), at(14, 2), at(17, 2));
        return date.isValid() && time.isValid() ? QDateTime(date, time, Qt::UTC) : QDateTime();
    }
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
}

double hoursOf(qsizetype rows)
{
    return double(rows) * (PerformanceRecorder::intervalMs / 1000.0) / 3600.0;
}

} // namespace

std::optional<PerformanceReport::Row> PerformanceReport::parseRow(QByteArrayView line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    QByteArrayView fields[PerformanceLog::columnCount];
    int count = 0;
    qsizetype from = 0;
    while (true) {
        const qsizetype comma = line.indexOf(',', from);
        if (count == PerformanceLog::columnCount)
            return std::nullopt; // more fields than columns: something shifted them
        fields[count++] = line.sliced(from, (comma < 0 ? line.size() : comma) - from);
        if (comma < 0)
            break;
        from = comma + 1;
    }
    if (count != PerformanceLog::columnCount)
        return std::nullopt;

    Row row;
    row.time = parseTime(fields[0]);
    if (!row.time.isValid())
        return std::nullopt;
    row.playing = fields[1] == "playing";
    const auto cpu = finiteNumber(fields[3]);
    const auto power = finiteNumber(fields[4]);
    const auto rss = finiteNumber(fields[5]);
    if (!cpu || !power || !rss)
        return std::nullopt;
    row.reason = QString::fromUtf8(fields[2]);
    row.cpu = *cpu;
    row.power = *power;
    row.rss = *rss;
    row.onBattery = fields[6] == "1";
    row.battery = integer(fields[7]);
    row.system = finiteNumber(fields[8]);
    return row;
}

QList<PerformanceReport::Row> PerformanceReport::parse(const QByteArray& csv)
{
    QList<Row> rows;
    rows.reserve(csv.count('\n') + 1);
    qsizetype from = 0;
    while (from < csv.size()) {
        qsizetype end = csv.indexOf('\n', from);
        if (end < 0)
            end = csv.size();
        if (end > from) {
            if (auto row = parseRow(QByteArrayView(csv).sliced(from, end - from)))
                rows.append(std::move(*row));
        }
        from = end + 1;
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
