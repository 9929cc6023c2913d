#include "media/shared_video_loop.h"
#include "clip_maker.h"

#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdlib>

// One decoder for displays of different sizes: every frame comes at each size asked for, and the
// pictures of each size are drawn into again rather than made anew for every frame.
class TestSharedVideoLoop : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void displaysOfDifferentSizesKeepTheirPictures()
    {
        const QString clip = m_dir.filePath(QStringLiteral("clip.mp4"));
        QVERIFY(ClipMaker::pattern(clip, QStringLiteral("320x180"), 30, 1));
        // Memory that counts its blocks, as a viewer's shared memory would hand them out.
        static std::atomic<int> made {0}, givenBack {0};
        made = 0;
        givenBack = 0;
        PictureMemory memory;
        memory.allocate = [](std::size_t bytes) {
            ++made;
            return static_cast<uchar*>(std::aligned_alloc(64, (bytes + 63) / 64 * 64));
        };
        memory.release = [](uchar* block) {
            ++givenBack;
            std::free(block);
        };

        const QSize laptop(256, 160), external(192, 108);
        {
            SharedVideoLoop loop(clip, {laptop, external}, false, 1, memory);
            // Frames are looked at and let go, as the windows showing them do.
            int received = 0;
            bool sizesRight = true;
            QSize lastLaptop, lastExternal;
            connect(&loop, &SharedVideoLoop::frameReady, this, [&](const FilledFrame& frame) {
                ++received;
                lastLaptop = frame.imageFor(laptop).size();
                lastExternal = frame.imageFor(external).size();
                sizesRight = sizesRight && lastLaptop == laptop && lastExternal == external;
            });
            QTRY_VERIFY_WITH_TIMEOUT(received >= 20, 10000);
            QVERIFY(sizesRight);
            // A few pictures per size are ever made, however many frames pass.
            QVERIFY2(made <= 12, qPrintable(QString::number(made)));

            // The external display goes: only the laptop's size is made from then on, and the
            // external display's pictures are given back.
            loop.setSizes({laptop});
            const int before = received;
            QTRY_VERIFY_WITH_TIMEOUT(received >= before + 5, 10000);
            QCOMPARE(lastLaptop, laptop);
            QVERIFY(lastExternal.isEmpty());
            QVERIFY(givenBack > 0);
        }
        // With the loop and its frames gone, every block is given back.
        QCOMPARE(givenBack.load(), made.load());
    }
};

QTEST_GUILESS_MAIN(TestSharedVideoLoop)
#include "tst_shared_video_loop.moc"
