#include "xvfb_test_main.h"

#include "platform/desktop_layer.h"
#include "platform/shared_pictures.h"
#include "wallpaper/player/wallpaper_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QTest>

#include <memory>

namespace {

XvfbServer server;

// A picture over a block of shared memory; the block goes back when the last copy is gone.
QImage pictureInBlock(SharedPictures& pictures, QSize size, QRgb colour)
{
    const qsizetype stride = (qsizetype(size.width()) * 4 + 63) / 64 * 64;
    uchar* block = pictures.allocate(std::size_t(stride * size.height()));
    if (!block)
        return {};
    QImage image(block, size.width(), size.height(), stride, QImage::Format_RGB32,
                 [](void* info) {
                     auto* owner = static_cast<std::pair<SharedPictures*, uchar*>*>(info);
                     owner->first->release(owner->second);
                     delete owner;
                 },
                 new std::pair<SharedPictures*, uchar*>(&pictures, block));
    image.fill(colour);
    return image;
}

class GreyWindow : public QRasterWindow
{
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::gray); }
};

} // namespace

// Pictures shown from memory the X server shares: they reach the window without being painted,
// what is not in that memory or does not suit the window is refused (the caller paints), and
// blocks come and go without leaving the server anything.
class TestSharedPictures : public QObject
{
    Q_OBJECT

    SharedPictures* pictures = nullptr;

    static QRgb colourAt(QPoint point) { return server.pixel(point) & 0xffffff; }

private slots:
    void initTestCase()
    {
        if (!server.running())
            QSKIP("Xvfb is not installed");
        pictures = SharedPictures::forDisplay();
        QVERIFY2(pictures, "an X server on this machine shares memory");
    }

    void aPictureInSharedMemoryReachesTheWindowAsItIsNow()
    {
        GreyWindow window;
        window.setGeometry(40, 30, 160, 90);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(colourAt(QPoint(100, 70)), QColor(Qt::gray).rgb() & 0xffffff);

        QImage picture = pictureInBlock(*pictures, QSize(160, 90), qRgb(200, 30, 40));
        QVERIFY(!picture.isNull());
        QVERIFY(pictures->show(window.winId(), picture));
        // Shown once the call returns: no event loop turn, no paint.
        QCOMPARE(colourAt(QPoint(45, 35)), QRgb(0xc81e28));
        QCOMPARE(colourAt(QPoint(199, 119)), QRgb(0xc81e28));
        // The block is read when shown, not copied before: new pixels in it show next time.
        picture.fill(qRgb(20, 160, 60));
        QVERIFY(pictures->show(window.winId(), picture));
        QCOMPARE(colourAt(QPoint(100, 70)), QRgb(0x14a03c));
        // A picture smaller than the window covers its top left only.
        const QImage small = pictureInBlock(*pictures, QSize(20, 10), qRgb(0, 0, 255));
        QVERIFY(pictures->show(window.winId(), small));
        QCOMPARE(colourAt(QPoint(45, 35)), QRgb(0x0000ff));
        QCOMPARE(colourAt(QPoint(100, 70)), QRgb(0x14a03c));
        pictures->forget(window.winId());
    }

    void whatDoesNotSuitIsRefused()
    {
        GreyWindow plain;
        plain.setGeometry(300, 30, 64, 64);
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        // Pixels of the process's own memory, another pixel format, no window.
        QImage own(64, 64, QImage::Format_RGB32);
        own.fill(Qt::red);
        QVERIFY(!pictures->show(plain.winId(), own));
        QVERIFY(!pictures->show(plain.winId(), own.convertToFormat(QImage::Format_RGB16)));
        const QImage shared = pictureInBlock(*pictures, QSize(64, 64), qRgb(255, 0, 0));
        QVERIFY(!pictures->show(0, shared));
        QVERIFY(!pictures->show(plain.winId(), QImage()));
        // A picture that runs past the end of its block.
        const QImage overrun(shared.constBits(), 64, 65, shared.bytesPerLine(), QImage::Format_RGB32);
        QVERIFY(!pictures->show(plain.winId(), overrun));
        QVERIFY(colourAt(QPoint(330, 60)) != QRgb(0xff0000));

        // A see-through window has another depth: the caller paints instead.
        GreyWindow seeThrough;
        QSurfaceFormat format = seeThrough.format();
        format.setAlphaBufferSize(8);
        seeThrough.setFormat(format);
        seeThrough.setGeometry(400, 30, 64, 64);
        seeThrough.show();
        QVERIFY(QTest::qWaitForWindowExposed(&seeThrough));
        QVERIFY(!pictures->show(seeThrough.winId(), shared));
        // The plain window still takes it.
        QVERIFY(pictures->show(plain.winId(), shared));
        QCOMPARE(colourAt(QPoint(330, 60)), QRgb(0xff0000));
        pictures->forget(plain.winId());
        pictures->forget(seeThrough.winId());
    }

    void blocksComeAndGo()
    {
        QCOMPARE(pictures->allocate(0), nullptr);
        QCOMPARE(pictures->allocate(std::size_t(1) << 60), nullptr);
        pictures->release(nullptr); // not ours: ignored
        GreyWindow window;
        window.setGeometry(40, 200, 256, 256);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Many blocks shown and given back, as a long-playing video does with its pool.
        for (int i = 0; i < 200; ++i) {
            const QImage picture = pictureInBlock(*pictures, QSize(256, 256), qRgb(i, 255 - i, 7));
            QVERIFY(pictures->show(window.winId(), picture));
        }
        QCOMPARE(colourAt(QPoint(100, 300)), QRgb(qRgb(199, 56, 7) & 0xffffff));
        pictures->forget(window.winId());
        pictures->forget(window.winId()); // twice is harmless
    }

    void aWallpaperWindowShowsItsOwnSizeStraightAndPaintsTheRest()
    {
        WallpaperWindow window(DesktopLayer::system(), QRect(600, 100, 200, 100));
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage straight = pictureInBlock(*pictures, window.pixelSize(), qRgb(250, 200, 0));
        window.showImage(straight);
        // No paint needed: there at once.
        QCOMPARE(colourAt(QPoint(700, 150)), QRgb(0xfac800));
        QCOMPARE(window.shownCount(), qint64(1));
        // Another size is painted, stretched, on the next turn.
        const QImage other = pictureInBlock(*pictures, QSize(50, 25), qRgb(0, 90, 250));
        window.showImage(other);
        QTRY_COMPARE(colourAt(QPoint(700, 150)), QRgb(0x005afa));
        QCOMPARE(window.image().constBits(), other.constBits());
    }
};

int main(int argc, char* argv[])
{
    return runOnXvfb<TestSharedPictures>(server, QSize(1024, 600), argc, argv);
}

#include "tst_shared_pictures.moc"
