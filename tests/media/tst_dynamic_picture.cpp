#include "fake_portal.h"
#include "heic_maker.h"
#include "media/dynamic_picture.h"
#include "media/image_info.h"
#include "media/thumbnailer.h"
#include "platform/appearance.h"
#include "platform/property_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray plist64(const QVariantMap& map)
{
    return PropertyList::toBinary(map).toBase64();
}

QVariantMap solarEntry(int index, const QVariant& altitude, const QVariant& azimuth)
{
    return {{"i", index}, {"a", altitude}, {"z", azimuth}};
}

using Frame = DynamicPicture::Frame;

} // namespace

class TestDynamicPicture : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void timeOfDayPictureFromFile()
    {
        const QVariantMap solar{{"si", QVariantList{solarEntry(0, -5, 100), solarEntry(1, 20, 250), solarEntry(2, 50, 180),
                                                   solarEntry(3, "-20", "350")}}};
        // A tag that is not Base64 property-list data is skipped; the good one still counts.
        const QByteArray xmp = desktopXmp({{"solar", plist64(solar)}, {"junk", "!!not base64!!"}}, false);
        const QString path = m_dir.filePath("day.heic");
        QVERIFY(makeHeic(path, {Qt::red, Qt::green, Qt::blue, Qt::black}, xmp));

        const auto picture = DynamicPicture::read(path);
        QVERIFY(picture);
        QCOMPARE(picture->kind, DynamicPicture::Kind::timeOfDay);
        QCOMPARE(picture->changesWith(), QString("Time of day"));
        QStringList labels;
        QList<int> indexes;
        for (const Frame& f : picture->frames) {
            labels << f.label;
            indexes << f.index;
        }
        QCOMPARE(labels, QStringList({"Dawn", "Midday", "Afternoon", "Night"}));
        QCOMPARE(indexes, QList<int>({0, 2, 1, 3}));
        QVERIFY(qAbs(*picture->frames[0].hour - 6.6667) < 0.001);
        QVERIFY(qAbs(*picture->frames[3].hour - 23.3333) < 0.001);
        QVERIFY(ImageInfo::isDynamic(path));
        QCOMPARE(ImageInfo::size(path), QSize(64, 64));

        // The frames themselves are reachable by index.
        const auto blue = Thumbnailer::image(path, 32, 2);
        QVERIFY(blue);
        QCOMPARE(blue->size(), QSize(32, 32));
        const QColor centre = blue->pixelColor(16, 16);
        QVERIFY(centre.blue() > 200 && centre.red() < 60);
    }

    void appearancePictureFromFile()
    {
        const QString path = m_dir.filePath("looks.heic");
        const QByteArray xmp = desktopXmp({{"apr", plist64({{"l", 0}, {"d", 1}})}}, true);
        QVERIFY(makeHeic(path, {Qt::white, Qt::black}, xmp));
        const auto picture = DynamicPicture::read(path);
        QVERIFY(picture);
        QCOMPARE(picture->kind, DynamicPicture::Kind::appearance);
        QCOMPARE(picture->changesWith(), QString("Light/Dark"));
        QCOMPARE(picture->frames, QList<Frame>({{0, "Light", std::nullopt}, {1, "Dark", std::nullopt}}));
        QCOMPARE(picture->current(true, QTime(12, 0))->index, 1);
        QCOMPARE(picture->current(false, QTime(12, 0))->index, 0);
    }

    void appearanceFrameFollowsTheDesktop()
    {
        const auto picture = DynamicPicture::fromTags({{"apr", QVariantMap{{"l", 0}, {"d", 1}}}});
        QVERIFY(picture);
        // A desktop that says nothing counts as light.
        Appearance silent;
        QCOMPARE(picture->current(silent)->label, QString("Light"));

        // The desktop prefers dark: the process's own watcher and a given one both follow it.
        FakePortal portal;
        QVERIFY(portal.publish());
        Appearance desktop;
        QTRY_COMPARE(desktop.isDark(), std::optional<bool>(true));
        QCOMPARE(picture->current(desktop)->label, QString("Dark"));
        QTRY_COMPARE(picture->current()->label, QString("Dark"));
        portal.change(2);
        QTRY_COMPARE(desktop.isDark(), std::optional<bool>(false));
        QCOMPARE(picture->current(desktop)->label, QString("Light"));
        QTRY_COMPARE(picture->current()->label, QString("Light"));
        QDBusConnection::sessionBus().unregisterService("org.freedesktop.portal.Desktop");
    }

    void plainAndBrokenFilesAreNotDynamic()
    {
        const QString plain = m_dir.filePath("plain.heic");
        QVERIFY(makeHeic(plain, {Qt::gray}));
        QVERIFY(!DynamicPicture::read(plain));
        QVERIFY(!ImageInfo::isDynamic(plain));
        QFile(m_dir.filePath("zero.heic")).open(QIODevice::WriteOnly);
        QVERIFY(!DynamicPicture::read(m_dir.filePath("zero.heic")));
        QVERIFY(!ImageInfo::size(m_dir.filePath("zero.heic")));
        QVERIFY(!DynamicPicture::read(m_dir.filePath("missing.heic")));
        // Desktop tags that describe no frames give nothing either.
        QVERIFY(!DynamicPicture::fromTags({{"apr", QVariantMap{}}}));
        QVERIFY(!DynamicPicture::fromTags({{"solar", QVariantMap{{"si", QVariantList{}}}}}));
    }

    void hourFrames()
    {
        const QVariantMap h24{{"ti", QVariantList{QVariantMap{{"i", 4}, {"t", 0.75}}, QVariantMap{{"i", 5}, {"t", "0.25"}},
                                                 QVariantMap{{"i", 6}, {"t", 1.125}}}}};
        const auto picture = DynamicPicture::fromTags({{"h24", h24}});
        QVERIFY(picture);
        QCOMPARE(picture->frames, QList<Frame>({{6, "3:00", 3.0}, {5, "6:00", 6.0}, {4, "18:00", 18.0}}));
    }

    void currentFrame_data()
    {
        QTest::addColumn<QList<double>>("hours");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<int>("expected");
        QTest::newRow("across midnight") << QList<double>{0.5, 20} << QTime(23, 30) << 0;
        QTest::newRow("nearest") << QList<double>{6, 12, 18} << QTime(13, 0) << 1;
        QTest::newRow("tie goes to the earlier") << QList<double>{10, 14} << QTime(12, 0) << 0;
        QTest::newRow("unknown time is noon") << QList<double>{3, 11.5} << QTime() << 1;
    }
    void currentFrame()
    {
        QFETCH(QList<double>, hours);
        QFETCH(QTime, now);
        QFETCH(int, expected);
        DynamicPicture picture;
        for (int i = 0; i < hours.size(); ++i)
            picture.frames.append({i, QString(), hours[i]});
        QCOMPARE(picture.current(false, now.isValid() ? std::optional(now) : std::nullopt)->index, expected);
    }

    void appearanceWithoutDarkShowsFirst()
    {
        const auto picture = DynamicPicture::fromTags({{"apr", QVariantMap{{"l", 3}}}});
        QVERIFY(picture);
        QCOMPARE(picture->current(true, std::nullopt)->index, 3);
        QVERIFY(!DynamicPicture().current(true, std::nullopt));
    }
};

QTEST_GUILESS_MAIN(TestDynamicPicture)
#include "tst_dynamic_picture.moc"
