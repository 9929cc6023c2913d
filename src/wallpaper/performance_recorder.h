#pragma once

#include "platform/machine.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class Power;

// Logs the live wallpaper's own processor time, energy and memory every 30 seconds, with whether
// it played, why it paused, the battery and the machine's load. Main thread only; a row that
// cannot be written is lost without a word.
class PerformanceRecorder : public QObject
{
    Q_OBJECT
public:
    struct Sensors
    {
        Power* power = nullptr;
        Machine* machine = nullptr;
        static Sensors system();
    };
    using Clock = std::function<QDateTime()>;

    static constexpr int intervalMs = 30000;
    // Rows closer together than this say nothing about a rate.
    static constexpr double minimumElapsedSeconds = 1.0;
    // How many rows are appended between two checks of the log's length.
    static constexpr int trimEvery = 500;

    PerformanceRecorder(Sensors sensors, QString logPath, Clock clock = {}, QObject* parent = nullptr);

    // The recorder of this process, over the real machine and the shared log.
    static PerformanceRecorder& shared();

    void start();
    void stop();
    bool isRunning() const { return m_timer.isActive(); }
    // Records a row first when `playing` changes, so the row closes the state it ends.
    void stateChanged(bool playing, const std::optional<QString>& reason);

    // Shorter intervals for tests.
    void setInterval(int ms) { m_timer.setInterval(ms); }
    // One sample now, as a timer tick takes it.
    void recordRow();

    // The line of one sample, without its line end.
    static QString formatRow(const QDateTime& time, bool playing, const std::optional<QString>& reason,
                             const ProcessUsage& usage, const ProcessUsage& previous, double elapsedSeconds,
                             bool onBattery, std::optional<int> batteryPercent, std::optional<double> systemLoad,
                             ThermalState thermal, bool lowPower);

private:
    void append(const QString& line);
    void trimIfDue();

    Sensors m_sensors;
    QString m_path;
    Clock m_clock;
    QTimer m_timer;
    bool m_playing = false;
    std::optional<QString> m_reason = QStringLiteral("starting");
    struct Sample
    {
        ProcessUsage usage;
        QDateTime time;
    };
    std::optional<Sample> m_last;
    std::optional<CpuTicks> m_lastSystemLoad;
    int m_rowsSinceTrim = 0;
};
