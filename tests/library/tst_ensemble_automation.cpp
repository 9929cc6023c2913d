#include "library_fixture.h"

#include "core/notices.h"
#include "core/record_json.h"
#include "library/ensemble_automation.h"
#include "platform/appearance.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QTest>

using RecordJson::uuidText;

// A stand-in for the desktop's settings portal on the test's private bus.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    uint scheme = 1;

    bool publish()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), this, QDBusConnection::ExportAllSlots)
            && bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
    }

    void change(uint value)
    {
        scheme = value;
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                         QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("SettingChanged"));
        signal << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme")
               << QVariant::fromValue(QDBusVariant(QVariant::fromValue(value)));
        QDBusConnection::sessionBus().send(signal);
    }

public slots:
    QDBusVariant Read(const QString& group, const QString& key)
    {
        if (group != QLatin1String("org.freedesktop.appearance") || key != QLatin1String("color-scheme"))
            return QDBusVariant(QVariant(QString()));
        // The portal wraps the value in one more variant.
        return QDBusVariant(QVariant::fromValue(QDBusVariant(QVariant::fromValue(scheme))));
    }
};

class EnsembleAutomationTest : public QObject
{
    Q_OBJECT

private slots:
    void boundaryTimerAimsJustPastFive()
    {
        const QDate day(2025, 6, 3);
        QCOMPARE(EnsembleAutomation::msecsToNextBoundary(QDateTime(day, QTime(4, 0), Qt::LocalTime)), 3600 * 1000 + 1000);
        QCOMPARE(EnsembleAutomation::msecsToNextBoundary(QDateTime(day, QTime(6, 0), Qt::LocalTime)), 23LL * 3600 * 1000 + 1000);
    }

    void choosingAndAppearanceReachTheEngineStore()
    {
        LibraryFixture f;
        const Wallpaper w = f.wallpaper(QStringLiteral("W"));
        const Ensemble light {QUuid::createUuid(), QStringLiteral("Light"), w.id};
        const Ensemble dark {QUuid::createUuid(), QStringLiteral("Dark"), w.id};
        const Ensemble third {QUuid::createUuid(), QStringLiteral("Third"), w.id};
        f.writeIndex({w}, {light, dark, third});
        EnsembleChanging changing;
        changing.mode = EnsembleChanging::Mode::appearance;
        changing.lightEnsemble = light.id;
        changing.darkEnsemble = dark.id;
        f.prefs().set(QStringLiteral("ensembleChanging"), changing.encode());
        f.prefs().set(QStringLiteral("currentEnsembleID"), uuidText(light.id));

        FakePortal portal;
        QVERIFY(portal.publish());
        auto store = f.open(true);
        Appearance appearance;
        EnsembleAutomation automation(*store, &appearance);
        QTRY_COMPARE(store->currentEnsembleID(), std::optional<QUuid>(dark.id)); // read at start: dark

        portal.change(2);
        QTRY_COMPARE(store->currentEnsembleID(), std::optional<QUuid>(light.id));

        // Another process asks for an ensemble; junk and unknown ids are ignored.
        Notifier::post(Notices::chooseEnsembleTheme(), QStringLiteral("junk"));
        Notifier::post(Notices::chooseEnsembleTheme(), uuidText(QUuid::createUuid()));
        Notifier::post(Notices::chooseEnsembleTheme(), uuidText(third.id));
        QTRY_COMPARE(store->currentEnsembleID(), std::optional<QUuid>(third.id));

        // The same appearance again changes nothing: the pick stays.
        portal.change(2);
        NoticeLog::settle();
        QCOMPARE(store->currentEnsembleID(), std::optional<QUuid>(third.id));
        QDBusConnection::sessionBus().unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
    }
};

QTEST_GUILESS_MAIN(EnsembleAutomationTest)
#include "tst_ensemble_automation.moc"
