#include "wallpaper/performance_recorder.h"

#include "platform/paths.h"
#include "platform/power.h"
#include "wallpaper/pause_rules.h"
#include "wallpaper/performance_log.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// The log has no quoting, so a reason must not bring its own field or line separators.
QString sanitisedReason(const std::optional<QString>& reason)
{
    QString text = reason.value_or(QString());
    text.replace(QLatin1Char(','), QLatin1Char(';'));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

} // namespace

PerformanceRecorder::Sensors PerformanceRecorder::Sensors::system()
{
    return {&Power::system(), &Machine::system()};
}

PerformanceRecorder::PerformanceRecorder(Sensors sensors, QString logPath, Clock clock, QObject* parent)
    : QObject(parent)
    , m_sensors(sensors)
    , m_path(std::move(logPath))
    , m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTimeUtc(); }))
{
    m_timer.setInterval(intervalMs);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PerformanceRecorder::recordRow);
}

PerformanceRecorder& PerformanceRecorder::shared()
{
    static PerformanceRecorder* recorder = new PerformanceRecorder(Sensors::system(), PerformanceLog::path());
    return *recorder;
}

void PerformanceRecorder::start()
{
    if (isRunning())
        return;
    if (const auto usage = m_sensors.machine->processUsage())
        m_last = Sample {*usage, m_clock()};
    m_timer.start();
}

void PerformanceRecorder::stop()
{
    m_timer.stop();
    m_last.reset();
    m_lastSystemLoad.reset();
}

void PerformanceRecorder::stateChanged(bool playing, const std::optional<QString>& reason)
{
    if (isRunning() && playing != m_playing)
        recordRow();
    m_playing = playing;
    m_reason = reason;
}

void PerformanceRecorder::recordRow()
{
    const auto usage = m_sensors.machine->processUsage();
    const QDateTime now = m_clock();
    if (!usage)
        return;
    if (!m_last) {
        m_last = Sample {*usage, now};
        return;
    }
    const double elapsed = double(m_last->time.msecsTo(now)) / 1000.0;
    if (elapsed < minimumElapsedSeconds)
        return;
    const auto systemLoad = PauseRules::cpuLoad(*m_sensors.machine, m_lastSystemLoad);
    append(formatRow(now, m_playing, m_reason, *usage, m_last->usage, elapsed, m_sensors.power->onBattery(),
                     m_sensors.power->batteryPercent(), systemLoad, m_sensors.machine->thermalState(),
                     m_sensors.power->lowPowerMode()));
    m_last = Sample {*usage, now};
}

QString PerformanceRecorder::formatRow(const QDateTime& time, bool playing, const std::optional<QString>& reason,
                                       const ProcessUsage& usage, const ProcessUsage& previous, double elapsedSeconds,
                                       bool onBattery, std::optional<int> batteryPercent,
                                       std::optional<double> systemLoad, ThermalState thermal, bool lowPower)
{
    const QLatin1Char comma(',');
    QString line;
    line.reserve(120);
    line += time.toUTC().toString(Qt::ISODate);
    line += comma;
    line += playing ? QLatin1String("playing") : QLatin1String("paused");
    line += comma;
    line += sanitisedReason(reason);
    line += comma;
    line += QString::asprintf("%.2f", (usage.cpuSeconds - previous.cpuSeconds) / elapsedSeconds * 100.0);
    line += comma;
    line += QString::asprintf("%.1f", (usage.energyJoules - previous.energyJoules) / elapsedSeconds * 1000.0);
    line += comma;
    line += QString::asprintf("%.1f", usage.memoryMiB);
    line += comma;
    line += onBattery ? QLatin1Char('1') : QLatin1Char('0');
    line += comma;
    if (batteryPercent)
        line += QString::number(*batteryPercent);
    line += comma;
    if (systemLoad)
        line += QString::asprintf("%.1f", *systemLoad * 100.0);
    line += comma;
    line += QString::number(int(thermal));
    line += comma;
    line += lowPower ? QLatin1Char('1') : QLatin1Char('0');
    return line;
}

void PerformanceRecorder::append(const QString& line)
{
    if (!QFileInfo::exists(m_path)) {
        if (!Paths::ensureFolder(QFileInfo(m_path).absolutePath()))
            return;
        if (!writeWhole(m_path, (PerformanceLog::header() + QLatin1Char('\n')).toUtf8()))
            return;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        return;
    QByteArray bytes = line.toUtf8() + '\n';
    // A row torn by a crash must not swallow the next one.
    const qint64 size = file.size();
    if (size > 0) {
        char last = '\n';
        if (file.seek(size - 1) && file.read(&last, 1) == 1 && last != '\n')
            bytes.prepend('\n');
    }
    file.write(bytes);
    file.close();
    trimIfDue();
}

void PerformanceRecorder::trimIfDue()
{
    if (++m_rowsSinceTrim < trimEvery)
        return;
    m_rowsSinceTrim = 0;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray content = file.readAll();
    file.close();
    QList<QByteArray> lines = content.split('\n');
    lines.removeAll(QByteArray());
    if (lines.size() < PerformanceLog::maxRows + 2)
        return;
    QByteArray kept = lines.first();
    kept += '\n';
    for (qsizetype i = lines.size() - PerformanceLog::maxRows; i < lines.size(); ++i) {
        kept += lines[i];
        kept += '\n'; // every row ends its line, so the next append starts a line of its own
    }
    writeWhole(m_path, kept);
}
