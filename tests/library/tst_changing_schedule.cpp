#include "library_fixture.h"

#include "core/record_json.h"
#include "library/aligned_schedule.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QDateTime local(int day, int hour, int minute)
{
    return QDateTime(QDate(2025, 6, day), QTime(hour, minute), Qt::LocalTime);
}

struct Library
{
    explicit Library(int count)
    {
        QList<Wallpaper> items;
        for (int i = 0; i < count; ++i) {
            items.append(f.wallpaper(QStringLiteral("W%1").arg(i)));
            ensembles.append(Ensemble {QUuid::createUuid(), QStringLiteral("E%1").arg(i), items.last().id});
        }
        f.writeIndex(items, ensembles);
        if (count > 0)
            f.prefs().set(QStringLiteral("currentEnsembleID"), RecordJson::uuidText(ensembles.first().id));
        store = f.open(true);
    }
    LibraryFixture f;
    QList<Ensemble> ensembles;
    std::unique_ptr<LibraryStore> store;
};

} // namespace

class ChangingScheduleTest : public QObject
{
    Q_OBJECT

private slots:
    void dayBeginsAtFive_data()
    {
        QTest::addColumn<QDateTime>("last");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("due");
        QTest::newRow("04:30 then 05:10") << local(3, 4, 30) << local(3, 5, 10) << true;
        QTest::newRow("05:10 then 23:00") << local(3, 5, 10) << local(3, 23, 0) << false;
        QTest::newRow("23:00 then 04:59 next date") << local(3, 23, 0) << local(4, 4, 59) << false;
        QTest::newRow("23:00 then 05:00 next date") << local(3, 23, 0) << local(4, 5, 0) << true;
    }
    void dayBeginsAtFive()
    {
        QFETCH(QDateTime, last);
        QFETCH(QDateTime, now);
        QFETCH(bool, due);
        QCOMPARE(LibraryStore::day(last) != LibraryStore::day(now), due);

        Library lib(3);
        lib.store->setChanging(EnsembleChanging::Mode::daily);
        EnsembleChanging changing = lib.store->ensembleChanging();
        changing.lastChange = last;
        lib.store->setEnsembleChanging(changing);
        const auto before = lib.store->currentEnsembleID();
        lib.store->changeDailyIfDue(now);
        QCOMPARE(lib.store->currentEnsembleID() != before, due);
    }

    void dailyDeckWalksEveryEnsembleOncePerRound()
    {
        Library lib(3);
        const QUuid a = lib.ensembles[0].id;
        lib.store->setChanging(EnsembleChanging::Mode::daily);
        QList<QUuid> deck = lib.store->ensembleChanging().deck;
        std::sort(deck.begin(), deck.end());
        QList<QUuid> others {lib.ensembles[1].id, lib.ensembles[2].id};
        std::sort(others.begin(), others.end());
        QCOMPARE(deck, others);

        // A first run with no start time only starts the clock.
        EnsembleChanging changing = lib.store->ensembleChanging();
        changing.lastChange.reset();
        lib.store->setEnsembleChanging(changing);
        lib.store->changeDailyIfDue(local(1, 12, 0));
        QCOMPARE(lib.store->currentEnsembleID(), std::optional<QUuid>(a));
        QCOMPARE(lib.store->ensembleChanging().lastChange, std::optional<QDateTime>(local(1, 12, 0)));

        QList<QUuid> shown;
        for (int day = 2; day <= 7; ++day) {
            lib.store->changeDailyIfDue(local(day, 6, 0));
            lib.store->changeDailyIfDue(local(day, 7, 0)); // same day: nothing
            shown.append(*lib.store->currentEnsembleID());
        }
        // Days 2-3 show B and C; a new round follows that does not start with the one showing.
        QCOMPARE(QSet<QUuid>(shown.cbegin(), shown.cbegin() + 2), QSet<QUuid>(others.cbegin(), others.cend()));
        QVERIFY(shown[2] != shown[1]);
        for (int i = 1; i < shown.size(); ++i)
            QVERIFY(shown[i] != shown[i - 1]);
        // The second round holds every ensemble except the one showing when it was dealt.
        QCOMPARE(QSet<QUuid>(shown.cbegin() + 2, shown.cbegin() + 4), (QSet<QUuid> {a, shown[1] == others[0] ? others[1] : others[0]}));
    }

    void deckSkipsRemovedEnsemblesAndOneEnsembleNeverChanges()
    {
        Library lib(3);
        lib.store->setChanging(EnsembleChanging::Mode::daily);
        EnsembleChanging changing = lib.store->ensembleChanging();
        changing.deck = {lib.ensembles[2].id, lib.ensembles[1].id};
        changing.lastChange = local(1, 12, 0);
        lib.store->setEnsembleChanging(changing);
        lib.store->removeEnsemble(lib.ensembles[2]);
        lib.store->changeDailyIfDue(local(2, 12, 0));
        QCOMPARE(lib.store->currentEnsembleID(), std::optional<QUuid>(lib.ensembles[1].id));
        // Taking the last card deals a fresh round straight away, without the one now showing.
        QCOMPARE(lib.store->ensembleChanging().deck, QList<QUuid> {lib.ensembles[0].id});

        Library single(1);
        single.store->setChanging(EnsembleChanging::Mode::daily);
        const EnsembleChanging before = single.store->ensembleChanging();
        single.store->changeDailyIfDue(QDateTime::currentDateTime().addDays(3));
        QCOMPARE(single.store->ensembleChanging(), before);
    }

    void appearanceActsOncePerAppearance()
    {
        Library lib(3);
        const QUuid a = lib.ensembles[0].id, b = lib.ensembles[1].id, c = lib.ensembles[2].id;
        EnsembleChanging stale;
        stale.lightEnsemble = QUuid::createUuid(); // removed long ago
        stale.darkEnsemble = b;
        lib.store->setEnsembleChanging(stale);
        lib.store->changeForAppearance(true); // mode never: nothing
        QCOMPARE(lib.store->currentEnsembleID(), std::optional<QUuid>(a));

        lib.store->setChanging(EnsembleChanging::Mode::appearance);
        QCOMPARE(lib.store->ensembleChanging().lightEnsemble, std::optional<QUuid>(a));
        QCOMPARE(lib.store->ensembleChanging().darkEnsemble, std::optional<QUuid>(b));

        lib.store->changeForAppearance(true);
        QCOMPARE(lib.store->currentEnsembleID(), std::optional<QUuid>(b));
        // Picked by hand, then dark again: the pick stays.
        lib.store->setCurrentEnsembleID(c);
        lib.store->changeForAppearance(true);
        QCOMPARE(lib.store->currentEnsembleID(), std::optional<QUuid>(c));
        // A new dark pick applies at the next dark signal.
        lib.store->setEnsembleForDark(a, true);
        QVERIFY(!lib.store->ensembleChanging().setForDark);
        lib.store->changeForAppearance(true);
        QCOMPARE(lib.store->currentEnsembleID(), std::optional<QUuid>(a));
        lib.store->changeForAppearance(false);
        QCOMPARE(lib.store->currentEnsembleID(), std::optional<QUuid>(a)); // light is a too
        QCOMPARE(lib.store->ensembleChanging().setForDark, std::optional<bool>(false));

        // Saved only when it differs.
        QSignalSpy spy(lib.store.get(), &LibraryStore::ensembleChangingChanged);
        lib.store->changeForAppearance(false);
        lib.store->setEnsembleChanging(lib.store->ensembleChanging());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(EnsembleChanging::decode(*lib.f.prefs().data(QStringLiteral("ensembleChanging"))), lib.store->ensembleChanging());
    }

    void alignedScheduleFallsOnWholeSteps()
    {
        AlignedSchedule schedule {60};
        auto entries = schedule.entries(QDateTime(QDate(2025, 6, 3), QTime(10, 15, 42, 500), Qt::LocalTime));
        QCOMPARE(entries.next().time(), QTime(10, 15));
        QCOMPARE(entries.next().time(), QTime(10, 16));
        QCOMPARE(entries.next().time(), QTime(10, 17));
    }
};

QTEST_GUILESS_MAIN(ChangingScheduleTest)
#include "tst_changing_schedule.moc"
