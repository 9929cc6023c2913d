#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// Processor tick counts of the whole machine since boot. 32-bit and wrapping, so differences are
// taken modulo 2^32.
struct CpuTicks
{
    quint32 user = 0;
    quint32 system = 0;
    quint32 idle = 0;
    quint32 nice = 0;
    bool operator==(const CpuTicks&) const = default;
};

// One reading of this process's own cost since it started.
struct ProcessUsage
{
    double cpuSeconds = 0;   // user + system time
    double energyJoules = 0; // 0 where the machine does not tell
    double memoryMiB = 0;    // resident memory
};

// How hot the machine runs, the way the system rates it.
enum class ThermalState { nominal = 0, fair = 1, serious = 2, critical = 3 };

// The machine's load, temperature and this process's own usage.
class Machine : public QObject
{
    Q_OBJECT
public:
    // Where the backend reads from; tests point these at folders of their own.
    struct Sources
    {
        QString procRoot = QStringLiteral("/proc");
        QString sysRoot = QStringLiteral("/sys");
        QString osRelease = QStringLiteral("/etc/os-release");
        // How often the thermal state is looked at for changes (0: never).
        int thermalPollMs = 10000;
    };

    using QObject::QObject;
    ~Machine() override = default;

    // The running machine, made on first use on the main thread.
    static Machine& system();
    static std::unique_ptr<Machine> makeSystem(const Sources& sources);

    // None when the counts cannot be read.
    virtual std::optional<CpuTicks> cpuTicks() = 0;
    // None when this process's usage cannot be read.
    virtual std::optional<ProcessUsage> processUsage() = 0;
    // Nominal when the machine does not say.
    virtual ThermalState thermalState() = 0;

    // The running system's version as three dotted numbers ("12.0.0"). The variable
    // ZENTROVE_SYSTEM_VERSION, when set, answers instead (tests play a system update with it).
    static QString systemVersion();
    static QString systemVersion(const Sources& sources);
    // What the energy figure of processUsage() means on this platform, for --help texts.
    static QString energyNote();

signals:
    void thermalStateChanged();
};
