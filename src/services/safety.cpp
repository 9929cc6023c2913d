#include "services/safety.h"

#include "build_info.h"
#include "core/notices.h"
#include "core/zentrove.h"
#include "platform/defaults.h"
#include "platform/desktop_words.h"
#include "platform/http.h"
#include "platform/machine.h"
#include "platform/notifier.h"
#include "platform/quit_signals.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMutex>

#include <cmath>

Q_LOGGING_CATEGORY(lcSafety, "zentrove.safety")

namespace {

Safety::Environment systemEnvironment()
{
    Safety::Environment e;
    e.systemVersion = Machine::systemVersion();
    e.appBuild = QByteArrayLiteral(ZENTROVE_BUILD_NUMBER).toLongLong();
    const QString fromEnv = qEnvironmentVariable("ZENTROVE_SAFETY_URL");
    e.listURL = QUrl(fromEnv.isEmpty() ? QStringLiteral("https://zentrove.app/safety.json") : fromEnv);
    e.now = [] { return QDateTime::currentDateTimeUtc(); };
    return e;
}

QMutex environmentMutex;
std::optional<Safety::Environment>& currentEnvironment()
{
    static std::optional<Safety::Environment> e;
    return e;
}

Defaults& hubDefaults()
{
    return Defaults::domain(Zentrove::bundleID());
}

std::optional<qint64> integerOf(const QJsonValue& v)
{
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9.0e15)
        return std::nullopt;
    return qint64(d);
}

QString baseOf(const QString& feature)
{
    const qsizetype dot = feature.indexOf(QLatin1Char('.'));
    return dot < 0 ? feature : feature.left(dot);
}

void terminateNormally()
{
    // Queued: at launch the event loop has not started yet, and quit() would be lost.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

// The part-side state of this process.
struct PartWatch
{
    QString part;
    Safety::GiveBack giveBack;
    NoticeToken changed;
    bool standingDown = false;
};
PartWatch& partWatch()
{
    static PartWatch watch;
    return watch;
}

} // namespace

Safety::Order Safety::compare(const QString& a, const QString& b)
{
    const QStringList left = a.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const QStringList right = b.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const auto piece = [](const QStringList& pieces, qsizetype i) -> qint64 {
        if (i >= pieces.size())
            return 0;
        bool ok = false;
        const qint64 n = pieces[i].toLongLong(&ok);
        return ok ? n : 0;
    };
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const qint64 l = piece(left, i), r = piece(right, i);
        if (l != r)
            return l < r ? Order::ascending : Order::descending;
    }
    return Order::same;
}

std::optional<QList<Safety::Entry>> Safety::decode(const QByteArray& document)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(document, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonValue off = doc.object().value(QStringLiteral("off"));
    if (!off.isArray())
        return std::nullopt;
    QList<Entry> entries;
    for (const QJsonValue& item : off.toArray()) {
        if (!item.isObject())
            return std::nullopt;
        const QJsonObject o = item.toObject();
        const QJsonValue feature = o.value(QStringLiteral("feature"));
        const QJsonValue macOS = o.value(QStringLiteral("macOS"));
        const QJsonValue message = o.value(QStringLiteral("message"));
        const QJsonValue through = o.value(QStringLiteral("through"));
        const QJsonValue fixed = o.value(QStringLiteral("fixedInBuild"));
        if (!feature.isString() || !macOS.isString() || !message.isString())
            return std::nullopt;
        Entry e {feature.toString(), macOS.toString(), std::nullopt, std::nullopt, message.toString()};
        if (through.isString())
            e.through = through.toString();
        else if (!through.isUndefined() && !through.isNull())
            return std::nullopt;
        if (const auto build = integerOf(fixed))
            e.fixedInBuild = build;
        else if (!fixed.isUndefined() && !fixed.isNull())
            return std::nullopt;
        entries.append(e);
    }
    return entries;
}

Safety::Environment Safety::environment()
{
    QMutexLocker lock(&environmentMutex);
    if (!currentEnvironment())
        currentEnvironment() = systemEnvironment();
    return *currentEnvironment();
}

void Safety::setEnvironment(Environment environment)
{
    QMutexLocker lock(&environmentMutex);
    if (!environment.now)
        environment.now = [] { return QDateTime::currentDateTimeUtc(); };
    currentEnvironment() = std::move(environment);
}

void Safety::resetEnvironment()
{
    QMutexLocker lock(&environmentMutex);
    currentEnvironment().reset();
}

bool Safety::isDue()
{
    const Environment env = environment();
    Defaults& hub = hubDefaults();
    hub.sync();
    const auto fetchedOn = hub.string(fetchedOnKey());
    if (!fetchedOn || *fetchedOn != env.systemVersion)
        return true; // a system update forces a fetch
    const auto fetched = hub.date(fetchedKey());
    if (!fetched || !fetched->isValid())
        return true;
    const qint64 age = fetched->secsTo(env.now());
    // A fetch date in the future means the clock was wrong then (or is now): don't trust it.
    return age > refreshAfterSeconds || age < 0;
}

void Safety::refreshIfDue(QObject* context, std::function<void()> done)
{
    const auto finish = [done] {
        if (done)
            done();
    };
    if (!isDue()) {
        finish();
        return;
    }
    const Environment env = environment();
    HttpRequest request;
    request.url = env.listURL;
    request.headers.append({QByteArrayLiteral("User-Agent"), "Zentrove/" + QByteArray::number(env.appBuild)});
    request.timeoutMs = env.timeoutMs;
    request.maxBytes = env.maxBytes;
    request.ignoreCache = true;
    Http::get(request, context ? context : QCoreApplication::instance(), [finish](const HttpResponse& response) {
        if (!response.completed)
            qCInfo(lcSafety).noquote() << "Zentrove: safety list not fetched:" << response.error;
        else if (response.status != 200)
            qCInfo(lcSafety).noquote() << "Zentrove: safety list answered" << response.status;
        else if (!decode(response.body))
            qCWarning(lcSafety).noquote() << "Zentrove: safety list does not decode; keeping the stored one";
        else
            save(response.body);
        finish();
    });
}

void Safety::save(const QByteArray& data)
{
    const Environment env = environment();
    Defaults& hub = hubDefaults();
    hub.setValues({{fetchedKey(), env.now()}, {fetchedOnKey(), env.systemVersion}});
    hub.sync();
    if (hub.data(listKey()) == data)
        return;
    hub.set(listKey(), data);
    hub.sync();
    Notifier::post(Notices::safetyChanged());
}

std::optional<QString> Safety::offMessage(const QString& feature)
{
    Defaults& hub = hubDefaults();
    hub.sync();
    const auto list = hub.data(listKey());
    if (!list)
        return std::nullopt;
    const Environment env = environment();
    return offMessage(feature, *list, env.systemVersion, env.appBuild);
}

std::optional<QString> Safety::offMessage(const QString& feature, const QByteArray& list, const QString& systemVersion,
                                          qint64 appBuild)
{
    const auto entries = decode(list);
    if (!entries)
        return std::nullopt;
    const QString base = baseOf(feature);
    for (const Entry& e : *entries) {
        if (e.feature != feature && e.feature != base)
            continue;
        const bool fromFirst = compare(systemVersion, e.macOS) != Order::ascending;
        const bool untilLast = !e.through || compare(systemVersion, *e.through) != Order::descending;
        const bool notFixed = !e.fixedInBuild || appBuild < *e.fixedInBuild;
        if (fromFirst && untilLast && notFixed)
            return e.message;
    }
    return std::nullopt;
}

std::optional<Safety::StandDown> Safety::stoodDown(const QString& partID)
{
    if (partID.isEmpty())
        return std::nullopt;
    Defaults& part = Defaults::domain(partID);
    part.sync();
    const auto record = part.dictionary(stoodDownKey());
    if (!record)
        return std::nullopt;
    const QVariant macOS = record->value(QStringLiteral("macOS"));
    if (macOS.metaType().id() != QMetaType::QString || macOS.toString() != environment().systemVersion)
        return std::nullopt; // a system update lifts a stand-down
    const QVariant reason = record->value(QStringLiteral("reason"));
    const QVariant crashed = record->value(QStringLiteral("crashed"));
    return StandDown {reason.metaType().id() == QMetaType::QString ? reason.toString() : QString(),
                      crashed.metaType().id() == QMetaType::Bool && crashed.toBool()};
}

void Safety::clearStoodDown(const QString& partID)
{
    if (partID.isEmpty())
        return;
    Defaults& part = Defaults::domain(partID);
    part.remove(stoodDownKey());
    part.remove(startsKey());
}

bool Safety::start(const QString& part, GiveBack giveBack)
{
    PartWatch& watch = partWatch();
    watch.part = part;
    watch.giveBack = giveBack;

    // A polite kill quits normally, so the part's own quit path gives back. Where the part has
    // installed its own handling already, that one stays.
    QuitSignals::install([](int) { QCoreApplication::quit(); });
    static bool watchingQuit = false;
    if (QCoreApplication* app = QCoreApplication::instance(); app && !std::exchange(watchingQuit, true)) {
        // A clean quit is no crash.
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { Defaults::standard().remove(startsKey()); });
    }
    watch.changed = Notifier::observe(Notices::safetyChanged(), [](const std::optional<QString>&) {
        PartWatch& w = partWatch();
        if (w.standingDown)
            return;
        if (const auto message = offMessage(w.part))
            standDown(*message, false, w.giveBack);
    });

    Defaults& own = Defaults::standard();
    const QString version = environment().systemVersion;
    const auto recordVersion = [&] {
        const auto record = own.dictionary(stoodDownKey());
        const QVariant v = record ? record->value(QStringLiteral("macOS")) : QVariant();
        return v.metaType().id() == QMetaType::QString ? std::optional<QString>(v.toString()) : std::nullopt;
    };
    if (own.contains(stoodDownKey()) && recordVersion() != version)
        own.remove(stoodDownKey());

    if (const auto message = offMessage(part)) {
        standDown(*message, false, giveBack);
        return false;
    }
    if (const auto record = own.dictionary(stoodDownKey())) {
        const QVariant crashed = record->value(QStringLiteral("crashed"));
        if (crashed.metaType().id() == QMetaType::Bool && crashed.toBool()) {
            const QVariant reason = record->value(QStringLiteral("reason"));
            standDown(reason.metaType().id() == QMetaType::QString ? reason.toString() : QString(), true, giveBack);
            return false;
        }
    }
    own.remove(stoodDownKey());

    const double now = double(environment().now().toMSecsSinceEpoch()) / 1000.0;
    QVariantList starts;
    for (const QVariant& v : own.array(startsKey()).value_or(QVariantList())) {
        bool ok = false;
        const double t = v.toDouble(&ok);
        const int type = v.metaType().id();
        if (ok && (type == QMetaType::Double || type == QMetaType::LongLong || type == QMetaType::Int))
            starts.append(t);
    }
    if (!starts.isEmpty() && starts.last().toDouble() < now - crashWindowSeconds)
        starts.clear();
    starts.append(now);
    own.set(startsKey(), starts);
    if (starts.size() < crashStarts)
        return true;
    own.remove(startsKey());
    standDown(crashReason(version), true, giveBack);
    return false;
}

QString Safety::crashReason(const QString& systemVersion)
{
    return DesktopWords::current().fill(u"It kept quitting unexpectedly on {systemName} %1.").arg(systemVersion);
}

void Safety::standDown(const QString& reason, bool crashed, GiveBack giveBack)
{
    partWatch().standingDown = true;
    qCWarning(lcSafety).noquote() << "Zentrove: standing down: " + reason;
    Defaults& own = Defaults::standard();
    own.set(stoodDownKey(), QVariantMap {{QStringLiteral("reason"), reason},
                                         {QStringLiteral("macOS"), environment().systemVersion},
                                         {QStringLiteral("crashed"), crashed}});
    own.sync();
    if (giveBack)
        giveBack(terminateNormally);
    else
        terminateNormally();
}
