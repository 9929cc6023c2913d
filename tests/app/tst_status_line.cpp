#include "app/status_line.h"

#include <QTest>

using Dot = StatusLine::Dot;
using Action = StatusLine::Action;

Q_DECLARE_METATYPE(StatusLine)

class TestStatusLine : public QObject
{
    Q_OBJECT
private slots:
    void everyState_data()
    {
        QTest::addColumn<int>("status"); // -1: never read
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("standDown"); // 0 none, 1 present, 2 present after crashing
        QTest::addColumn<StatusLine>("expected");

        const auto line = [](const char* text, Dot dot, Action action = Action::none, const char* detail = "") {
            return StatusLine{QString::fromUtf8(text), QString::fromUtf8(detail), dot, action};
        };
        const int enabled = int(LoginItemStatus::enabled), approval = int(LoginItemStatus::requiresApproval);
        const int notFound = int(LoginItemStatus::notFound), notRegistered = int(LoginItemStatus::notRegistered);

        QTest::newRow("enabled, running") << enabled << true << 0 << line("Running", Dot::ok);
        QTest::newRow("enabled, running, stood down before") << enabled << true << 2 << line("Running", Dot::ok);
        QTest::newRow("enabled, quit") << enabled << false << 0 << line("Quit · starts again at login", Dot::warning, Action::startNow);
        QTest::newRow("enabled, stood down") << enabled << false << 1 << line("Paused", Dot::warning, Action::none, "Off on this system.");
        QTest::newRow("enabled, crashed") << enabled << false << 2 << line("Paused", Dot::warning, Action::tryAgain, "Off on this system.");
        QTest::newRow("approval, running") << approval << true << 0 << line("Needs your OK in Startup Applications", Dot::warning, Action::openLoginItems);
        QTest::newRow("approval, stood down") << approval << false << 2 << line("Needs your OK in Startup Applications", Dot::warning, Action::openLoginItems);
        QTest::newRow("not found") << notFound << false << 0 << line("Missing from the app. Reinstall Zentrove.", Dot::failure);
        QTest::newRow("not found, running") << notFound << true << 1 << line("Missing from the app. Reinstall Zentrove.", Dot::failure);
        QTest::newRow("not registered, running") << notRegistered << true << 0 << line("Running, not started at login", Dot::accent);
        QTest::newRow("never read, running") << -1 << true << 0 << line("Running, not started at login", Dot::accent);
        QTest::newRow("not registered") << notRegistered << false << 1 << line("Off", Dot::unlit);
        QTest::newRow("never read") << -1 << false << 0 << line("Off", Dot::unlit);
    }

    void everyState()
    {
        QFETCH(int, status);
        QFETCH(bool, running);
        QFETCH(int, standDown);
        QFETCH(StatusLine, expected);
        std::optional<StandDown> record;
        if (standDown)
            record = StandDown{standDown == 2, QStringLiteral("Off on this system.")};
        const auto read = status < 0 ? std::nullopt : std::optional(LoginItemStatus(status));
        const StatusLine line = StatusLine::of(read, running, record);
        QCOMPARE(line.text, expected.text);
        QCOMPARE(line.detail, expected.detail);
        QCOMPARE(line.dot, expected.dot);
        QCOMPARE(line.action, expected.action);
    }
};

QTEST_GUILESS_MAIN(TestStatusLine)
#include "tst_status_line.moc"
