#include "platform/machine.h"

#include "platform/local_files.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {


std::optional<qint64> readInteger(const QString& path)
{
    const auto bytes = LocalFiles::readSmall(path);
    if (!bytes)
        return std::nullopt;
    bool ok = false;
    const qint64 value = bytes->trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<quint64> readUnsigned(const QString& path)
{
    const auto bytes = LocalFiles::readSmall(path);
    if (!bytes)
        return std::nullopt;
    bool ok = false;
    const quint64 value = bytes->trimmed().toULongLong(&ok);
    return ok ? std::optional<quint64>(value) : std::nullopt;
}

// "cpu  user nice system idle iowait irq softirq steal ..." from /proc/stat, as 64-bit counts.
struct HostTicks
{
    quint64 user = 0, nice = 0, system = 0, idle = 0;
    quint64 busy() const { return user + nice + system; }
};

std::optional<HostTicks> readHostTicks(const QString& procRoot)
{
    const auto bytes = LocalFiles::readSmall(procRoot + QStringLiteral("/stat"));
    if (!bytes)
        return std::nullopt;
    const QByteArray firstLine = bytes->left(bytes->indexOf('\n'));
    const QList<QByteArray> fields = firstLine.simplified().split(' ');
    if (fields.size() < 5 || fields[0] != "cpu")
        return std::nullopt;
    quint64 values[8] = {};
    for (int i = 0; i < 8 && i + 1 < fields.size(); ++i) {
        bool ok = false;
        values[i] = fields[i + 1].toULongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    // Interrupt time is system work; waiting for I/O and time taken by a hypervisor are not load.
    HostTicks t;
    t.user = values[0];
    t.nice = values[1];
    t.system = values[2] + values[5] + values[6];
    t.idle = values[3] + values[4] + values[7];
    return t;
}

// utime and stime (clock ticks) from /proc/self/stat. The command name may hold spaces and
// parentheses, so fields are counted from its closing parenthesis.
std::optional<quint64> readProcessTicks(const QString& procRoot)
{
    const auto bytes = LocalFiles::readSmall(procRoot + QStringLiteral("/self/stat"));
    if (!bytes)
        return std::nullopt;
    const qsizetype close = bytes->lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = bytes->mid(close + 1).simplified().split(' ');
    // After the name: state(0) ppid(1) ... utime(11) stime(12).
    if (fields.size() < 13)
        return std::nullopt;
    bool okU = false, okS = false;
    const quint64 utime = fields[11].toULongLong(&okU);
    const quint64 stime = fields[12].toULongLong(&okS);
    if (!okU || !okS)
        return std::nullopt;
    return utime + stime;
}

// Resident pages from /proc/self/statm.
std::optional<quint64> readResidentBytes(const QString& procRoot)
{
    const auto bytes = LocalFiles::readSmall(procRoot + QStringLiteral("/self/statm"));
    if (!bytes)
        return std::nullopt;
    const QList<QByteArray> fields = bytes->simplified().split(' ');
    if (fields.size() < 2)
        return std::nullopt;
    bool ok = false;
    const quint64 pages = fields[1].toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return pages * quint64(sysconf(_SC_PAGESIZE));
}

double ticksPerSecond()
{
    const long hz = sysconf(_SC_CLK_TCK);
    return hz > 0 ? double(hz) : 100.0;
}

// Top-level power-capping zones ("intel-rapl:0", not their sub-zones "intel-rapl:0:0").
QStringList energyZones(const QString& sysRoot)
{
    const QString base = sysRoot + QStringLiteral("/class/powercap");
    QStringList zones;
    const QStringList names = QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& name : names) {
        if (name.count(QLatin1Char(':')) == 1)
            zones << base + QLatin1Char('/') + name;
    }
    return zones;
}

ThermalState zoneState(const QString& zone)
{
    const auto temp = readInteger(zone + QStringLiteral("/temp"));
    if (!temp)
        return ThermalState::nominal;
    ThermalState state = ThermalState::nominal;
    for (int i = 0; i < 64; ++i) {
        const QString prefix = zone + QStringLiteral("/trip_point_%1_").arg(i);
        const auto type = LocalFiles::readSmall(prefix + QStringLiteral("type"));
        if (!type)
            break;
        const auto tripTemp = readInteger(prefix + QStringLiteral("temp"));
        // Disabled trip points read as 0 or below on some machines.
        if (!tripTemp || *tripTemp <= 0 || *temp < *tripTemp)
            continue;
        const QByteArray kind = type->trimmed();
        ThermalState reached = ThermalState::nominal;
        if (kind == "critical" || kind == "hot")
            reached = ThermalState::critical; // the machine is about to shut down to protect itself
        else if (kind == "passive")
            reached = ThermalState::serious; // the kernel slows the processor down
        else if (kind == "active")
            reached = ThermalState::fair; // fans have started
        state = std::max(state, reached);
    }
    return state;
}

// "12", "22.04" or "6.1.0-26-amd64" to three dotted numbers; empty when it does not start with one.
QString threeNumbers(const QString& text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)*)"));
    const QRegularExpressionMatch m = leading.match(text);
    if (!m.hasMatch())
        return {};
    QStringList pieces = m.captured(1).split(QLatin1Char('.'));
    QStringList numbers;
    for (const QString& piece : pieces.mid(0, 3)) {
        bool ok = false;
        const qulonglong n = piece.toULongLong(&ok);
        numbers << (ok ? QString::number(n) : QStringLiteral("0"));
    }
    while (numbers.size() < 3)
        numbers << QStringLiteral("0");
    return numbers.join(QLatin1Char('.'));
}

class LinuxMachine final : public Machine
{
public:
    explicit LinuxMachine(Sources sources)
        : m_sources(std::move(sources))
    {
        if (m_sources.thermalPollMs > 0) {
            m_thermalTimer.setTimerType(Qt::VeryCoarseTimer);
            m_thermalTimer.setInterval(m_sources.thermalPollMs);
            QObject::connect(&m_thermalTimer, &QTimer::timeout, this, [this] {
                const ThermalState now = thermalState();
                if (std::exchange(m_lastThermal, now) != now)
                    emit thermalStateChanged();
            });
            m_lastThermal = thermalState();
            m_thermalTimer.start();
        }
    }

    std::optional<CpuTicks> cpuTicks() override
    {
        const auto t = readHostTicks(m_sources.procRoot);
        if (!t)
            return std::nullopt;
        // Truncation keeps the wrapping arithmetic of 32-bit counters.
        return CpuTicks {quint32(t->user), quint32(t->system), quint32(t->idle), quint32(t->nice)};
    }

    std::optional<ProcessUsage> processUsage() override
    {
        const auto ticks = readProcessTicks(m_sources.procRoot);
        const auto rss = readResidentBytes(m_sources.procRoot);
        if (!ticks || !rss)
            return std::nullopt;
        ProcessUsage usage;
        usage.cpuSeconds = double(*ticks) / ticksPerSecond();
        usage.memoryMiB = double(*rss) / 1048576.0;
        usage.energyJoules = ownEnergy(*ticks);
        return usage;
    }

    ThermalState thermalState() override
    {
        const QString base = m_sources.sysRoot + QStringLiteral("/class/thermal");
        ThermalState state = ThermalState::nominal;
        const QStringList zones = QDir(base).entryList({QStringLiteral("thermal_zone*")},
                                                       QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
        for (const QString& zone : zones)
            state = std::max(state, zoneState(base + QLatin1Char('/') + zone));
        return state;
    }

private:
    // The power-capping counters measure the whole processor package, so this process is given
    // the share of the package's energy that matches its share of the busy processor time.
    double ownEnergy(quint64 processTicks)
    {
        const QStringList zones = energyZones(m_sources.sysRoot);
        const auto host = readHostTicks(m_sources.procRoot);
        if (zones.isEmpty() || !host)
            return m_energyJoules;
        quint64 packageMicrojoules = 0;
        bool anyRead = false;
        for (const QString& zone : zones) {
            const auto now = readUnsigned(zone + QStringLiteral("/energy_uj"));
            if (!now)
                continue;
            anyRead = true;
            const auto previous = m_zoneEnergy.value(zone);
            m_zoneEnergy.insert(zone, *now);
            if (!previous)
                continue;
            if (*now >= *previous) {
                packageMicrojoules += *now - *previous;
            } else {
                // The counter wrapped at its range.
                const auto range = readUnsigned(zone + QStringLiteral("/max_energy_range_uj"));
                if (range && *range >= *previous)
                    packageMicrojoules += *range - *previous + *now;
            }
        }
        if (anyRead && m_lastBusy && m_lastProcessTicks) {
            const quint64 busy = host->busy() - std::min(host->busy(), *m_lastBusy);
            const quint64 own = processTicks - std::min(processTicks, *m_lastProcessTicks);
            if (busy > 0)
                m_energyJoules += double(packageMicrojoules) / 1e6 * std::min(1.0, double(own) / double(busy));
        }
        if (anyRead) {
            m_lastBusy = host->busy();
            m_lastProcessTicks = processTicks;
        }
        return m_energyJoules;
    }

    Sources m_sources;
    QTimer m_thermalTimer;
    ThermalState m_lastThermal = ThermalState::nominal;
    QHash<QString, std::optional<quint64>> m_zoneEnergy;
    std::optional<quint64> m_lastBusy;
    std::optional<quint64> m_lastProcessTicks;
    double m_energyJoules = 0;
};

} // namespace

std::unique_ptr<Machine> Machine::makeSystem(const Sources& sources)
{
    return std::make_unique<LinuxMachine>(sources);
}

Machine& Machine::system()
{
    static Machine* machine = makeSystem(Sources {}).release();
    return *machine;
}

QString Machine::systemVersion()
{
    const QString forced = threeNumbers(qEnvironmentVariable("ZENTROVE_SYSTEM_VERSION"));
    if (!forced.isEmpty())
        return forced;
    return systemVersion(Sources {});
}

QString Machine::systemVersion(const Sources& sources)
{
    // The distribution's release: what desktop integrations break on. Kernel updates come far
    // more often and would lift stand-downs that still hold.
    if (const auto osRelease = LocalFiles::readSmall(sources.osRelease)) {
        for (const QByteArray& raw : osRelease->split('\n')) {
            const QByteArray line = raw.trimmed();
            if (!line.startsWith("VERSION_ID="))
                continue;
            QString value = QString::fromUtf8(line.mid(int(sizeof("VERSION_ID=")) - 1));
            if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            const QString version = threeNumbers(value);
            if (!version.isEmpty())
                return version;
        }
    }
    // Rolling distributions have no release number: fall back to the kernel's.
    if (const auto kernel = LocalFiles::readSmall(sources.procRoot + QStringLiteral("/sys/kernel/osrelease"))) {
        const QString version = threeNumbers(QString::fromUtf8(*kernel));
        if (!version.isEmpty())
            return version;
    }
    return QStringLiteral("0.0.0");
}

QString Machine::energyNote()
{
    return QStringLiteral(
        "Energy is this process's share (by processor time) of the processor package's energy from the "
        "kernel's power-capping counters (/sys/class/powercap); where those cannot be read, it is logged as 0.");
}
