#include "platform/desktop_picture_settings.h"
#include "platform/paths.h"
#include "platform/property_list.h"
#include "test_support.h"
#include "wallpaper/desktop_picture.h"
#include "wallpaper/system_wallpaper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

namespace SW = SystemWallpaper;

namespace {

const QString theirAsset = QStringLiteral("B8F1C0DE-1111-4222-8333-444455556666");

bool write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVariantMap choice(const QString& assetID)
{
    return {{QStringLiteral("Provider"), QStringLiteral("com.apple.wallpaper.choice.aerials")},
            {QStringLiteral("Files"), QVariantList()},
            {QStringLiteral("Configuration"), PropertyList::toBinary(QVariantMap {{QStringLiteral("assetID"), assetID}})}};
}

QVariantMap slot(const QVariantList& choices)
{
    return {{QStringLiteral("Content"), QVariantMap {{QStringLiteral("Choices"), choices},
                                                     {QStringLiteral("Shuffle"), QStringLiteral("$null")}}},
            {QStringLiteral("LastSet"), QDateTime(QDate(2026, 1, 2), QTime(3, 4), Qt::UTC)}};
}

// The shape the store uses: one slot for all displays, more per display further down.
QByteArray index(const QString& linkedAsset, const QString& displayAsset = theirAsset)
{
    const QVariantMap tree {
        {QStringLiteral("AllSpacesAndDisplays"),
         QVariantMap {{QStringLiteral("Linked"), slot({choice(linkedAsset)})}, {QStringLiteral("Type"), QStringLiteral("linked")}}},
        {QStringLiteral("Displays"),
         QVariantMap {{QStringLiteral("37D8832A-2D66-02CA-B9F7-8F30A301B230"),
                       QVariantMap {{QStringLiteral("Desktop"), slot({choice(displayAsset)})}}}}},
        {QStringLiteral("Spaces"), QVariantList {QVariantMap {{QStringLiteral("Idle"), slot({choice(theirAsset)})}}}},
    };
    return PropertyList::toBinary(tree);
}

QByteArray entries(int version, const QStringList& assets, const QStringList& categories)
{
    QJsonArray a, c;
    for (const QString& id : assets)
        a.append(QJsonObject {{QStringLiteral("id"), id}, {QStringLiteral("shotID"), QStringLiteral("X")}});
    for (const QString& id : categories)
        c.append(QJsonObject {{QStringLiteral("id"), id}, {QStringLiteral("subcategories"), QJsonArray()}});
    return QJsonDocument(QJsonObject {{QStringLiteral("version"), version},
                                      {QStringLiteral("assets"), a},
                                      {QStringLiteral("categories"), c},
                                      {QStringLiteral("initialAssetCount"), 12},
                                      {QStringLiteral("localizationVersion"), QStringLiteral("17.0-1")}})
        .toJson();
}

// The desktop's picture settings held in memory, as a desktop that keeps them would.
class MemorySettings final : public DesktopPictureSettings
{
public:
    bool setUp = true;
    QHash<QString, Value> values;

    bool isSetUp() const override { return setUp; }
    QString backend() const override { return QStringLiteral("memory"); }
    QStringList keys() const override { return {QStringLiteral("picture"), QStringLiteral("picture-dark"), QStringLiteral("lock")}; }
    std::optional<Value> value(const QString& key) const override
    {
        if (!setUp)
            return std::nullopt;
        return values.value(key, Value {QStringLiteral("file:///usr/share/default.png"), false});
    }
    bool set(const QString& key, const QString& text) override
    {
        values.insert(key, {text, true});
        return setUp;
    }
    bool reset(const QString& key) override
    {
        values.remove(key);
        return setUp;
    }
};

} // namespace

class TestSystemWallpaper : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    QStringList pictures;
    int restarts = 0;
    std::function<void()> onRestart;
    MemorySettings desktop;

    QString bundled() const { return home->path() + QStringLiteral("/System/entries.json"); }
    QString backupIndex() const { return SW::backupsDir() + QStringLiteral("/Index.plist"); }

    void giveBackAndWait()
    {
        bool done = false;
        SW::giveBack(this, [&] { done = true; });
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
    }

private slots:
    void init()
    {
        home = std::make_unique<TestHome>();
        pictures.clear();
        restarts = 0;
        onRestart = {};
        desktop = MemorySettings();
        SW::Environment env;
        env.desktopPictureSettings = [this]() -> DesktopPictureSettings& { return desktop; };
        env.desktopPictures = [this] { return pictures; };
        env.restartAgent = [this] {
            ++restarts;
            if (onRestart)
                onRestart();
        };
        env.bundledEntriesPath = bundled();
        env.settleMs = 50;
        SW::setEnvironment(env);
    }

    void cleanup()
    {
        SW::resetEnvironment();
        home.reset();
    }

    void setUpIsTheDesktopsPictureSettings()
    {
        QVERIFY(SW::indexPath().startsWith(Paths::applicationSupport() + QStringLiteral("/com.apple.wallpaper/")));
        // The store's files do not exist on this desktop and do not matter: its settings do.
        QVERIFY(SW::isSetUp());
        desktop.setUp = false;
        QVERIFY(!SW::isSetUp());
        QVERIFY(write(bundled(), entries(1, {}, {})));
        QVERIFY(write(SW::indexPath(), index(theirAsset)));
        QVERIFY(!SW::isSetUp());
    }

    void giveBackPutsTheDesktopPictureBack()
    {
        // The part placed its still and then ended without giving back (it crashed).
        desktop.values.insert(QStringLiteral("picture"), {QStringLiteral("file:///home/me/own.jpg"), true});
        desktop.values.insert(QStringLiteral("picture-dark"), {QStringLiteral("file:///home/me/own-dark.jpg"), true});
        QImage still(64, 32, QImage::Format_RGB32);
        still.fill(Qt::red);
        QString error;
        QVERIFY2(DesktopPicture::place(desktop, still, &error), qPrintable(error));
        QVERIFY(DesktopPicture::showsOurs(desktop));
        // The desktop picture is ours: the store counts as showing ours.
        SW::Environment env = SW::environment();
        env.desktopPictures = [this] {
            return QStringList {QUrl(desktop.value(QStringLiteral("picture"))->text).toLocalFile()};
        };
        SW::setEnvironment(env);
        QVERIFY(SW::isShowingOurs());

        giveBackAndWait();
        QCOMPARE(desktop.value(QStringLiteral("picture"))->text, QStringLiteral("file:///home/me/own.jpg"));
        QCOMPARE(desktop.value(QStringLiteral("picture-dark"))->text, QStringLiteral("file:///home/me/own-dark.jpg"));
        QVERIFY(!desktop.values.contains(QStringLiteral("lock"))); // never set: the default again
        QVERIFY(!QFile::exists(DesktopPicture::backupPath()));
        QVERIFY(QDir(DesktopPicture::stillFolder()).entryList(QDir::Files).isEmpty());
        // Given back at once: nothing of ours shows, so no restart of the store's agent was needed.
        QCOMPARE(restarts, 0);
    }

    void giveBackKeepsTheDesktopPictureBackupWhenItCannotBeRead()
    {
        QImage still(8, 8, QImage::Format_RGB32);
        still.fill(Qt::blue);
        QVERIFY(DesktopPicture::place(desktop, still));
        // The desktop's schemas went away meanwhile: the backup stays for a later give-back.
        desktop.setUp = false;
        giveBackAndWait();
        QVERIFY(QFile::exists(DesktopPicture::backupPath()));
        desktop.setUp = true;
        giveBackAndWait();
        QVERIFY(!DesktopPicture::showsOurs(desktop));
        QVERIFY(!QFile::exists(DesktopPicture::backupPath()));
    }

    void manifestPicksTheNewerCopy()
    {
        QVERIFY(!SW::manifest());
        QVERIFY(SW::manifestIsCurrent()); // neither: 0 >= 0
        QVERIFY(write(SW::entriesPath(), entries(5, {QStringLiteral("USER")}, {})));
        QVERIFY(write(bundled(), entries(7, {QStringLiteral("SYSTEM")}, {})));
        QCOMPARE(SW::manifest()->value(QStringLiteral("version")).toInt(), 7);
        QVERIFY(!SW::manifestIsCurrent());

        QVERIFY(write(SW::entriesPath(), entries(7, {QStringLiteral("USER")}, {})));
        QCOMPARE(SW::manifest()->value(QStringLiteral("assets")).toList().first().toMap().value(QStringLiteral("id")),
                 QVariant(QStringLiteral("USER"))); // a tie goes to the user's copy
        QVERIFY(SW::manifestIsCurrent());

        // A damaged copy drops out; a version that is no integer counts as 0.
        QVERIFY(write(SW::entriesPath(), "{\"version\": 9, \"assets\": ["));
        QCOMPARE(SW::manifest()->value(QStringLiteral("version")).toInt(), 7);
        QVERIFY(write(SW::entriesPath(), R"({"version": "99", "assets": []})"));
        QVERIFY(!SW::manifestIsCurrent());
        QVERIFY(write(bundled(), R"({"version": 1.5})"));
        QCOMPARE(SW::manifest()->value(QStringLiteral("version")), QVariant(QStringLiteral("99"))); // 0 vs 0: user's
        QVERIFY(write(bundled(), "[7]"));
        QVERIFY(SW::manifest());
    }

    void choicesAreFoundAnywhereInTheIndex()
    {
        QVERIFY(write(SW::indexPath(), index(SW::assetIDs()[1])));
        const auto parsed = SW::readIndex();
        QVERIFY(parsed);
        const auto found = SW::choices(*parsed);
        QStringList slotNames, assets;
        for (const auto& [key, list] : found) {
            slotNames << key;
            for (const QVariant& c : list)
                assets << SW::assetID(c).value_or(QStringLiteral("?"));
        }
        slotNames.sort();
        QCOMPARE(slotNames, QStringList({QStringLiteral("Desktop"), QStringLiteral("Idle"), QStringLiteral("Linked")}));
        QVERIFY(assets.contains(SW::assetIDs()[1]));
        QVERIFY(SW::isShowingOurs());
    }

    void choicesThatSayNothing_data()
    {
        QTest::addColumn<QVariantMap>("tree");
        const QVariantMap ours = choice(SW::assetIDs()[0]);
        QVariantMap notData = ours;
        notData[QStringLiteral("Configuration")] = QStringLiteral("assetID");
        QVariantMap noAsset = ours;
        noAsset[QStringLiteral("Configuration")] = PropertyList::toXml(QVariantMap {{QStringLiteral("other"), SW::assetIDs()[0]}});
        QVariantMap garbage = ours;
        garbage[QStringLiteral("Configuration")] = QByteArray("bplist00\xff\xff", 10);
        QVariantMap wrongType = ours;
        wrongType[QStringLiteral("Configuration")] = PropertyList::toXml(QVariantMap {{QStringLiteral("assetID"), 7}});
        QTest::newRow("configuration is not data") << QVariantMap {{QStringLiteral("Linked"), slot({notData})}};
        QTest::newRow("configuration lacks assetID") << QVariantMap {{QStringLiteral("Linked"), slot({noAsset})}};
        QTest::newRow("configuration is damaged") << QVariantMap {{QStringLiteral("Linked"), slot({garbage})}};
        QTest::newRow("assetID is no string") << QVariantMap {{QStringLiteral("Linked"), slot({wrongType})}};
        QTest::newRow("choices mixed with a non-dictionary")
            << QVariantMap {{QStringLiteral("Linked"), slot({ours, QStringLiteral("x")})}};
        QTest::newRow("choices not an array")
            << QVariantMap {{QStringLiteral("Linked"),
                             QVariantMap {{QStringLiteral("Content"), QVariantMap {{QStringLiteral("Choices"), ours}}}}}};
        QTest::newRow("not a slot key") << QVariantMap {{QStringLiteral("Lock"), slot({ours})}};
    }

    void choicesThatSayNothing()
    {
        QFETCH(QVariantMap, tree);
        QVERIFY(write(SW::indexPath(), PropertyList::toBinary(tree)));
        QVERIFY(SW::readIndex());
        QVERIFY(!SW::isShowingOurs());
    }

    void damagedOrDeepIndexReadsAsAbsent()
    {
        QVERIFY(write(SW::indexPath(), "not a plist"));
        QVERIFY(!SW::readIndex());
        QVERIFY(write(SW::indexPath(), PropertyList::toXml(QVariantList {1, 2})));
        QVERIFY(!SW::readIndex()); // an array, not a dictionary
        // Nested far deeper than the store ever goes, with our choice at the bottom.
        QVariant deep = QVariantMap {{QStringLiteral("Linked"), slot({choice(SW::assetIDs()[0])})}};
        for (int i = 0; i < 5000; ++i)
            deep = QVariantMap {{QStringLiteral("k"), deep}};
        QByteArray xml = PropertyList::toXml(deep);
        if (!xml.isEmpty()) {
            QVERIFY(write(SW::indexPath(), xml));
            QVERIFY(!SW::isShowingOurs()); // refused, not walked
        }
    }

    void desktopPictureInOurFolders()
    {
        const QString support = Paths::applicationSupport();
        pictures = {QStringLiteral("/usr/share/backgrounds/a.png"), support + QStringLiteral("/PaneflowOther/x.png")};
        QVERIFY(!SW::isShowingOurs());
        pictures << support + QStringLiteral("/Zentrove/../Paneflow/Videos/x.mov");
        QVERIFY(SW::isShowingOurs());
        pictures = {support + QStringLiteral("/Zentrove/still.heic")};
        QVERIFY(SW::isShowingOurs());
    }

    void takeOverBacksUpOnce()
    {
        const QByteArray userIndex = index(theirAsset);
        QVERIFY(write(SW::indexPath(), userIndex));
        QVERIFY(write(SW::entriesPath(), entries(3, {theirAsset}, {})));
        QString error;
        QVERIFY2(SW::takeOver(&error), qPrintable(error));
        QCOMPARE(read(backupIndex()), userIndex);
        QCOMPARE(read(SW::backupsDir() + QStringLiteral("/entries.json")), entries(3, {theirAsset}, {}));

        // Ours is placed; a second take-over must not replace the user's backup.
        QVERIFY(write(SW::indexPath(), index(SW::assetIDs()[0])));
        QVERIFY(write(SW::entriesPath(), entries(4, {SW::assetIDs()[0]}, {})));
        QVERIFY(SW::takeOver());
        QCOMPARE(read(backupIndex()), userIndex);
        QCOMPARE(read(SW::backupsDir() + QStringLiteral("/entries.json")), entries(3, {theirAsset}, {}));

        // Without a backup, a state that already shows ours is not backed up.
        QVERIFY(QFile::remove(backupIndex()));
        QVERIFY(SW::takeOver());
        QVERIFY(!QFile::exists(backupIndex()));
    }

    void takeOverFailsWhenItCannotBackUp()
    {
        QVERIFY(write(SW::indexPath(), index(theirAsset)));
        QVERIFY(write(SW::backupsDir(), "a file where the folder belongs"));
        QString error;
        QVERIFY(!SW::takeOver(&error));
        QVERIFY(!error.isEmpty());
    }

    void giveBackRestoresTheBackup()
    {
        const QByteArray userIndex = index(theirAsset);
        QVERIFY(write(SW::indexPath(), userIndex));
        QVERIFY(SW::takeOver());
        QVERIFY(write(SW::indexPath(), index(SW::assetIDs()[0])));
        QVERIFY(write(SW::videoPath(SW::assetIDs()[0]), "movie"));
        QVERIFY(write(SW::thumbnailPath(SW::assetIDs()[1]), "png"));
        giveBackAndWait();
        QCOMPARE(read(SW::indexPath()), userIndex);
        QCOMPARE(restarts, 1);
        QVERIFY(!QFile::exists(backupIndex()));
        QVERIFY(!QFile::exists(SW::videoPath(SW::assetIDs()[0])));
        QVERIFY(!QFile::exists(SW::thumbnailPath(SW::assetIDs()[1])));
    }

    void giveBackAgainWhenTheAgentWritesItsOldStateBack()
    {
        const QByteArray userIndex = index(theirAsset);
        QVERIFY(write(SW::indexPath(), userIndex));
        QVERIFY(SW::takeOver());
        QVERIFY(write(SW::indexPath(), index(SW::assetIDs()[0])));
        onRestart = [this] {
            if (restarts == 1)
                write(SW::indexPath(), index(SW::assetIDs()[0]));
        };
        giveBackAndWait();
        QCOMPARE(restarts, 2);
        QCOMPARE(read(SW::indexPath()), userIndex);
    }

    void giveBackKeepsAnotherChoiceOfTheUser()
    {
        QVERIFY(write(SW::indexPath(), index(theirAsset)));
        QVERIFY(SW::takeOver());
        const QByteArray picked = index(QStringLiteral("0C0FFEE0-0000-4000-8000-00000000BEEF"));
        QVERIFY(write(SW::indexPath(), picked));
        QVERIFY(write(SW::entriesPath(), entries(3, {SW::assetIDs()[0], theirAsset}, {SW::categoryID()})));
        giveBackAndWait();
        QCOMPARE(read(SW::indexPath()), picked);
        QCOMPARE(restarts, 0);
        QVERIFY(!QFile::exists(backupIndex()));
        QCOMPARE(QJsonDocument::fromJson(read(SW::entriesPath())).object(),
                 QJsonDocument::fromJson(entries(3, {theirAsset}, {})).object());
    }

    void giveBackWithoutBackupFallsBackToTheDefault()
    {
        QVERIFY(write(SW::indexPath(), index(SW::assetIDs()[1])));
        giveBackAndWait();
        QVERIFY(!QFile::exists(SW::indexPath()));
        QCOMPARE(restarts, 1);
    }

    void aBackupThatCannotBePutBackIsKept()
    {
        const QByteArray userIndex = index(theirAsset);
        QVERIFY(write(SW::indexPath(), userIndex));
        QVERIFY(SW::takeOver());
        // Ours shows on the desktop, and the index cannot be written (a folder stands in its place).
        pictures = {Paths::applicationSupport() + QStringLiteral("/Paneflow/Videos/a.mov")};
        QVERIFY(QFile::remove(SW::indexPath()));
        QVERIFY(QDir().mkpath(SW::indexPath() + QStringLiteral("/blocker")));
        giveBackAndWait();
        QCOMPARE(read(backupIndex()), userIndex);
    }

    void removeOurAssetsKeepsEverythingElse()
    {
        const QString ours = SW::assetIDs()[0];
        QVERIFY(write(SW::entriesPath(),
                      entries(3, {ours, theirAsset, SW::assetIDs()[1]}, {QStringLiteral("OTHER"), SW::categoryID()})));
        SW::removeOurAssets();
        QCOMPARE(QJsonDocument::fromJson(read(SW::entriesPath())).object(),
                 QJsonDocument::fromJson(entries(3, {theirAsset}, {QStringLiteral("OTHER")})).object());

        const QByteArray damaged = "{\"assets\": [{\"id\": \"" + ours.toUtf8() + "\"}";
        QVERIFY(write(SW::entriesPath(), damaged));
        SW::removeOurAssets();
        QCOMPARE(read(SW::entriesPath()), damaged);
    }
};

QTEST_GUILESS_MAIN(TestSystemWallpaper)
#include "tst_system_wallpaper.moc"
