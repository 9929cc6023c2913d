#include "media/movie_boxes.h"
#include "media/movie_looper.h"

#include <QtEndian>
#include <QtTest>

namespace {

MovieBox leaf(const QByteArray& type, const QByteArray& payload)
{
    MovieBox box;
    box.type = type;
    box.payload = payload;
    return box;
}

QByteArray be32(uint32_t v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

// Version-0 headers as a muxer writes them.
MovieBox mvhd(uint32_t timescale, uint32_t duration)
{
    return leaf("mvhd", be32(0) + be32(1) + be32(2) + be32(timescale) + be32(duration) + QByteArray(80, 'm'));
}
MovieBox tkhd(uint32_t duration)
{
    return leaf("tkhd", be32(0) + be32(1) + be32(2) + be32(7) + be32(0) + be32(duration) + QByteArray(60, 't'));
}

} // namespace

class TestMovieBoxes : public QObject
{
    Q_OBJECT

private slots:
    void repeats_data()
    {
        QTest::addColumn<quint64>("clip");
        QTest::addColumn<quint32>("timescale");
        QTest::addColumn<quint64>("repeats");
        QTest::newRow("2 s") << quint64(2 * 15360) << quint32(15360) << quint64(1800);
        QTest::newRow("7200 s plays once") << quint64(7200 * 600) << quint32(600) << quint64(1);
        QTest::newRow("3600 s exactly") << quint64(3600 * 30000) << quint32(30000) << quint64(1);
        QTest::newRow("29.97 fps, 10.01 s") << quint64(300300) << quint32(30000) << quint64(360);
        QTest::newRow("7 s") << quint64(7000) << quint32(1000) << quint64(515);
        QTest::newRow("empty") << quint64(0) << quint32(600) << quint64(0);
    }
    void repeats()
    {
        QFETCH(quint64, clip);
        QFETCH(quint32, timescale);
        QFETCH(quint64, repeats);
        QCOMPARE(MovieLooper::repeatsFor(clip, timescale), repeats);
        if (repeats)
            QVERIFY(double(repeats * clip) / timescale >= 3600);
    }

    void headersRoundTripAndWidenOnlyWhenNeeded()
    {
        MovieBox moov;
        moov.type = "moov";
        moov.container = true;
        moov.children = {mvhd(1000, 2000), leaf("trak", {})};
        moov.children[1].container = true;
        moov.children[1].children = {tkhd(2000), leaf("mdia", {})};
        moov.children[1].children[1].container = true;

        const auto parsed = MovieBox::parseAll(moov.serialized());
        QVERIFY(parsed && parsed->size() == 1);
        QCOMPARE(parsed->first().serialized(), moov.serialized());

        MovieBox header = mvhd(90000, 1);
        QVERIFY(MovieHeader::setMovieTimes(header, {90000, 324'000'000}));
        QCOMPARE(header.payload[0], char(0));
        QVERIFY(MovieHeader::setMovieTimes(header, {90000, 6'000'000'000}));
        QCOMPARE(header.payload[0], char(1));
        QCOMPARE(header.payload.size(), 100 + 12);
        const auto times = MovieHeader::movieTimes(header);
        QVERIFY(times);
        QCOMPARE(times->timescale, 90000u);
        QCOMPARE(times->duration, quint64(6'000'000'000));
        QCOMPARE(header.payload.right(80), QByteArray(80, 'm')); // the rest of the header is kept

        MovieBox track = tkhd(5);
        QVERIFY(MovieHeader::setTrackDuration(track, 6'000'000'000));
        QCOMPARE(track.payload[0], char(1));
        QCOMPARE(qFromBigEndian<quint32>(track.payload.constData() + 20), 7u); // track id moved, intact
        QCOMPARE(qFromBigEndian<quint64>(track.payload.constData() + 28), quint64(6'000'000'000));
        QCOMPARE(track.payload.right(60), QByteArray(60, 't'));
    }

    void editListsRoundTrip()
    {
        const QList<EditSegment> narrow(3, EditSegment{30720, 0});
        MovieBox box = MovieHeader::makeEditList(narrow);
        QCOMPARE(box.payload.size(), 8 + 3 * 12);
        QCOMPARE(MovieHeader::editList(box), narrow);

        const QList<EditSegment> wide{{5'000'000'000, 1024}, {10, -1}};
        box = MovieHeader::makeEditList(wide);
        QCOMPARE(box.payload[0], char(1));
        QCOMPARE(MovieHeader::editList(box), wide);
    }

    void damagedBoxesAreRefused()
    {
        const QByteArray good = leaf("free", "abcd").serialized();
        QVERIFY(MovieBox::parseAll(good));
        QVERIFY(!MovieBox::parseAll(good.left(good.size() - 1)));
        QByteArray tooLong = good;
        tooLong[3] = char(50);
        QVERIFY(!MovieBox::parseAll(tooLong));
        QVERIFY(!MovieBox::parseAll(QByteArray("\0\0\0\x04" "free", 8)));
        MovieBox list = MovieHeader::makeEditList({{1, 0}, {2, 0}});
        list.payload.chop(1);
        QVERIFY(!MovieHeader::editList(list));
    }
};

QTEST_GUILESS_MAIN(TestMovieBoxes)
#include "tst_movie_boxes.moc"
