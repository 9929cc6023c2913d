#include "app/command_line.h"
#include "app/show_request.h"

#include <QTest>

Q_DECLARE_METATYPE(ShowRequest)

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void optionsTakeTheirOwnValues()
    {
        const CommandLine line({QStringLiteral("--enable"), QStringLiteral("taskbar"), QStringLiteral("paneflow"),
                                QStringLiteral("--disable"), QStringLiteral("vizavedid"), QStringLiteral("--check-updates")});
        QCOMPARE(line.values(QStringLiteral("--enable")), (QStringList{QStringLiteral("taskbar"), QStringLiteral("paneflow")}));
        QCOMPARE(line.values(QStringLiteral("--disable")), QStringList{QStringLiteral("vizavedid")});
        QVERIFY(line.has(QStringLiteral("--check-updates")));
        QVERIFY(line.values(QStringLiteral("--check-updates")).isEmpty());
        QVERIFY(!line.has(QStringLiteral("--show")));
        QCOMPARE(line.value(QStringLiteral("--show")), std::nullopt);
        QVERIFY(!line.has(QStringLiteral("enable"))); // options are whole arguments
    }

    void partsComeInTableOrderAndUnknownNamesAreSkipped()
    {
        const CommandLine line({QStringLiteral("--enable"), QStringLiteral("taskbar"), QStringLiteral("clock"),
                                QStringLiteral("PANEFLOW"), QStringLiteral("paneflow")});
        const QList<Part> parts = line.partsAfter(QStringLiteral("--enable"));
        QCOMPARE(parts.size(), 2);
        QCOMPARE(parts[0].shortName(), QStringLiteral("paneflow"));
        QCOMPARE(parts[1].shortName(), QStringLiteral("taskbar"));
        QVERIFY(line.partsAfter(QStringLiteral("--disable")).isEmpty());
    }

    void linksStandApart()
    {
        const CommandLine line({QStringLiteral("--show"), QStringLiteral("zentrove://next"), QStringLiteral("settings"),
                                QStringLiteral("ZENTROVE://ensemble/Morning")});
        QCOMPARE(line.value(QStringLiteral("--show")), QStringLiteral("settings"));
        QCOMPARE(line.links(), (QStringList{QStringLiteral("zentrove://next"), QStringLiteral("ZENTROVE://ensemble/Morning")}));
        QVERIFY(CommandLine(QStringList()).isEmpty());
    }

    void showNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<ShowRequest>("request");
        using K = ShowRequest::Kind;
        QTest::newRow("uninstall") << "uninstall" << ShowRequest{K::uninstall};
        QTest::newRow("feedback") << "feedback" << ShowRequest{K::feedback};
        QTest::newRow("page") << "settings" << ShowRequest{K::page, Page::settings, {}};
        QTest::newRow("page and detail") << "vizavedid.date" << ShowRequest{K::page, Page::vizavedid, QStringLiteral("date")};
        QTest::newRow("split at the first stop") << "taskbar.apps.pinned" << ShowRequest{K::page, Page::taskbar, QStringLiteral("apps.pinned")};
        QTest::newRow("empty detail") << "paneflow." << ShowRequest{K::page, Page::paneflow, {}};
        QTest::newRow("unknown") << "clock" << ShowRequest{K::window};
        QTest::newRow("unknown page with detail") << "uninstall.now" << ShowRequest{K::window};
        QTest::newRow("page names are exact") << "Settings" << ShowRequest{K::window};
        QTest::newRow("empty") << "" << ShowRequest{K::window};
    }

    void showNames()
    {
        QFETCH(QString, name);
        QFETCH(ShowRequest, request);
        QCOMPARE(ShowRequest::parse(name), request);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
