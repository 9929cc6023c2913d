#include "app/ui/app_style.h"
#include "app/ui/snapshot.h"
#include "app/ui/update_window.h"
#include "fake_platform.h"
#include "platform/bundle.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

void snapshot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("ZENTROVE_SNAPSHOT_DIR");
    if (!folder.isEmpty())
        Snapshot::write(widget, folder + u'/' + name);
}

UpdateOffer offer()
{
    UpdateOffer offer;
    offer.version = QStringLiteral("0.3.0");
    offer.build = 12;
    offer.date = QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);
    offer.notes = QStringLiteral("• Thumbnails appear twice as fast.\n• The taskbar remembers its size per display.\n<b>Markup stays text.</b>");
    offer.download = QUrl(QStringLiteral("https://zentrove.app/download/0.3.0"));
    return offer;
}

} // namespace

// The updater's window as the user sees and clicks it.
class TestUpdateWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { AppStyle::apply(*qApp); }

    void offerShowsNotesAndDownloadOpensTheAddress()
    {
        FakeWorkspace workspace;
        UpdateWindow window(offer(), workspace);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.titleLabel()->text(), QStringLiteral("A new Zentrove is available"));
        QVERIFY(window.summaryLabel()->text().startsWith(QStringLiteral("Zentrove 0.3.0 (12) is out, released ")));
        QVERIFY(window.summaryLabel()->text().endsWith(QStringLiteral("You have %1 (%2).").arg(Bundle::version(), Bundle::buildNumber())));
        QCOMPARE(window.notesView()->toPlainText(), offer().notes);
        QVERIFY(window.notesView()->isReadOnly());
        snapshot(&window, QStringLiteral("update-window.png"));
        QSignalSpy finished(&window, &QDialog::finished);
        QTest::mouseClick(window.downloadButton(), Qt::LeftButton);
        QCOMPARE(workspace.openedURLs, QList<QUrl>({offer().download}));
        QCOMPARE(finished.size(), 1);
        QVERIFY(!window.isVisible());
    }

    void laterOpensNothing()
    {
        FakeWorkspace workspace;
        UpdateWindow window(offer(), workspace);
        window.show();
        QSignalSpy finished(&window, &QDialog::finished);
        QTest::mouseClick(window.laterButton(), Qt::LeftButton);
        QCOMPARE(finished.size(), 1);
        QVERIFY(workspace.openedURLs.isEmpty());
    }

    void upToDateHasNoDownload()
    {
        FakeWorkspace workspace;
        UpdateWindow window(std::nullopt, workspace);
        window.show();
        QCOMPARE(window.titleLabel()->text(), QStringLiteral("Zentrove is up to date"));
        QVERIFY(!window.downloadButton());
        QCOMPARE(window.laterButton()->text(), QStringLiteral("OK"));
        snapshot(&window, QStringLiteral("update-up-to-date.png"));
    }
};

QTEST_MAIN(TestUpdateWindow)
#include "tst_update_window.moc"
