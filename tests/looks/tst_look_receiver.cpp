#include "core/notices.h"
#include "core/zentrove.h"
#include "looks/look.h"
#include "looks/look_receiver.h"
#include "platform/defaults.h"
#include "platform/notifier.h"
#include "platform/process_identity.h"

#include "test_support.h"

#include <QElapsedTimer>
#include <QTest>

namespace {
void settle(int ms = 250)
{
    Notifier::flush();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}
} // namespace

class LookReceiverTest : public QObject
{
    Q_OBJECT

private slots:
    void catchUpThenStampGate()
    {
        TestHome home;
        ProcessIdentity::set(Zentrove::taskbarID());
        const LookRequest stored {std::nullopt, QUuid::createUuid(), 1000.0};
        stored.publish(Look::paneflowPrefs());

        QList<LookRequest> applied;
        auto receiver = std::make_unique<LookReceiver>([&](const LookRequest& r) { applied.append(r); });
        QCOMPARE(applied, QList<LookRequest> {stored}); // caught up inside the constructor
        QCOMPARE(LookReceiver::lastStamp(), 1000.0);
        settle(); // the same request arrives by notice too: not applied again
        QCOMPARE(applied.size(), 1);

        Notifier::post(Look::applyNotification(), QString::fromUtf8(LookRequest {QUuid::createUuid(), std::nullopt, 999.0}.encode()));
        Notifier::post(Look::applyNotification(), QStringLiteral("{\"clockPreset\":\"x\"}"));
        Notifier::post(Look::applyNotification());
        const LookRequest newer {QUuid::createUuid(), std::nullopt, 1001.0};
        Notifier::post(Look::applyNotification(), QString::fromUtf8(newer.encode()));
        QTRY_COMPARE(applied.size(), 2);
        settle();
        QCOMPARE(applied.last(), newer);

        // A second receiver in the same part starts from the stamp already applied.
        LookReceiver second([&](const LookRequest& r) { applied.append(r); });
        QCOMPARE(applied.size(), 2);

        // The clock part keeps a stamp of its own, so it catches up on the same request.
        receiver.reset();
        ProcessIdentity::set(Zentrove::vizaVedidID());
        Defaults::forgetAll();
        int clockApplied = 0;
        LookReceiver clock([&](const LookRequest&) { ++clockApplied; });
        QCOMPARE(clockApplied, 1);
    }
};

QTEST_GUILESS_MAIN(LookReceiverTest)
#include "tst_look_receiver.moc"
