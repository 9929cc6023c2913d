#include "library/library_view.h"

#include <QLocale>
#include <QtTest>

// The shown-wallpapers rule of the wallpapers page: filter, then a trimmed, case-blind search.
class TestLibraryView : public QObject
{
    Q_OBJECT

private slots:
    void searchIsTrimmedAndIgnoresCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("matches");
        QTest::newRow("spaces around") << "Beach House" << "  beach  " << true;
        QTest::newRow("tabs and newlines") << "Beach House" << "\tHOUSE\n" << true;
        QTest::newRow("inside a word") << "Beach House" << "ach ho" << true;
        QTest::newRow("blank matches all") << "Beach House" << "   " << true;
        QTest::newRow("no match") << "Beach House" << "forest" << false;
        QTest::newRow("inner spaces count") << "Beach House" << "beach  house" << false;
        QTest::newRow("accents are letters") << "Café" << "cafe" << false;
        QTest::newRow("non-latin case") << "ÅLAND ÖRE" << "åland" << true;
    }
    void searchIsTrimmedAndIgnoresCase()
    {
        QFETCH(QString, name);
        QFETCH(QString, search);
        QFETCH(bool, matches);
        QCOMPARE(LibraryFilters::nameMatches(name, search), matches);
    }

    void filtersKeepTheirKinds_data()
    {
        QTest::addColumn<bool>("video");
        QTest::addColumn<bool>("dynamic");
        QTest::addColumn<int>("ensembles");
        QTest::addColumn<QList<LibraryFilter>>("kept");
        using F = LibraryFilter;
        QTest::newRow("video in an ensemble") << true << false << 1 << QList<F>{F::all, F::live, F::inLook};
        QTest::newRow("still in none") << false << false << 0 << QList<F>{F::all, F::still, F::notInLook};
        QTest::newRow("dynamic in two") << false << true << 2 << QList<F>{F::all, F::dynamic, F::inLook};
    }
    void filtersKeepTheirKinds()
    {
        QFETCH(bool, video);
        QFETCH(bool, dynamic);
        QFETCH(int, ensembles);
        QFETCH(QList<LibraryFilter>, kept);
        QList<LibraryFilter> actual;
        for (LibraryFilter filter : LibraryFilters::all())
            if (LibraryFilters::keeps(filter, {video, dynamic, ensembles}))
                actual << filter;
        QCOMPARE(actual, kept);
    }

    void shownKeepsLibraryOrderAndAppliesBoth()
    {
        const QList<Wallpaper> items{{QUuid::createUuid(), "Sea Night", "a.mov"}, {QUuid::createUuid(), "Forest", "b.png"},
                                     {QUuid::createUuid(), "sea day", "c.png"}, {QUuid::createUuid(), "Seal", "d.mov"}};
        const auto traits = [](const Wallpaper& w) { return WallpaperTraits{w.fileName.endsWith(".mov"), false, 0}; };
        const auto names = [](const QList<Wallpaper>& list) {
            QStringList out;
            for (const Wallpaper& w : list)
                out << w.name;
            return out;
        };
        QCOMPARE(names(LibraryFilters::shown(items, LibraryFilter::all, " SEA", traits)), QStringList({"Sea Night", "sea day", "Seal"}));
        QCOMPARE(names(LibraryFilters::shown(items, LibraryFilter::live, "sea", traits)), QStringList({"Sea Night", "Seal"}));
        QCOMPARE(names(LibraryFilters::shown(items, LibraryFilter::still, "", traits)), QStringList({"Forest", "sea day"}));
        QVERIFY(LibraryFilters::shown(items, LibraryFilter::dynamic, "", traits).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestLibraryView)
#include "tst_library_view.moc"
