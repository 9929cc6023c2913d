#include "fake_portal.h"
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
