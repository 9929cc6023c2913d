#include "platform/desktop_picture_settings.h"
#include "platform/paths.h"
#include "wallpaper/desktop_picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>

namespace {

const QString light = QStringLiteral("org.gnome.desktop.background/picture-uri");
const QString dark = QStringLiteral("org.gnome.desktop.background/picture-uri-dark");
const QString lock = QStringLiteral("org.gnome.desktop.screensaver/picture-uri");

// The process's own folder: GLib reads the config folder once, so it is set before GIO starts.
QTemporaryDir& root()
{
    static QTemporaryDir dir;
    return dir;
}

QImage still(QColor colour)
{
    QImage image(64, 36, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

// The desktop's own wallpaper settings through GSettings with the distribution's schemas, kept by
// GIO's keyfile backend in the test's folder: the user's values come back exactly.
class TestDesktopPicture : public QObject
{
    Q_OBJECT

    DesktopPictureSettings& settings = DesktopPictureSettings::system();

    QString keyfile() const { return root().filePath(QStringLiteral("config/glib-2.0/settings/keyfile")); }

private slots:
    void initTestCase()
    {
        if (!settings.isSetUp())
            QSKIP("the desktop's GSettings schemas are not installed (gsettings-desktop-schemas)");
        QCOMPARE(settings.keys(), QStringList({light, dark, lock}));
    }

    void init()
    {
        for (const QString& key : settings.keys())
            QVERIFY(settings.reset(key));
        QDir(Paths::applicationSupport()).removeRecursively();
    }

    void givesTheUsersOwnBackExactly()
    {
        QVERIFY(settings.set(light, QStringLiteral("file:///home/someone/Pictures/light%20one.jpg")));
        QVERIFY(settings.set(dark, QStringLiteral("file:///home/someone/Pictures/dark.jpg")));
        const auto lockDefault = settings.value(lock);
        QVERIFY(lockDefault && !lockDefault->ownValue);
        QVERIFY(!DesktopPicture::showsOurs(settings));

        QString error;
        QVERIFY2(DesktopPicture::place(settings, still(Qt::red), &error), qPrintable(error));
        const QString placed = settings.value(light)->text;
        QCOMPARE(settings.value(dark)->text, placed);
        QCOMPARE(settings.value(lock)->text, placed);
        QVERIFY(DesktopPicture::showsOurs(settings));
        const QString file = QUrl(placed).toLocalFile();
        QVERIFY(file.startsWith(DesktopPicture::stillFolder() + QLatin1Char('/')));
        QCOMPARE(QImage(file).pixelColor(10, 10), QColor(Qt::red));
        // Written where the desktop reads it, the keyfile backend's file.
        QVERIFY(QFile(keyfile()).exists());

        // Placed again (another wallpaper): a new file, the old one gone, the backup untouched.
        QFile backup(DesktopPicture::backupPath());
        QVERIFY(backup.open(QIODevice::ReadOnly));
        const QByteArray firstBackup = backup.readAll();
        backup.close();
        QVERIFY(DesktopPicture::place(settings, still(Qt::blue), &error));
        QVERIFY(settings.value(light)->text != placed);
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE(backup.readAll(), firstBackup);
        backup.close();

        QVERIFY(DesktopPicture::giveBack(settings));
        QCOMPARE(settings.value(light), std::optional(DesktopPictureSettings::Value {QStringLiteral("file:///home/someone/Pictures/light%20one.jpg"), true}));
        QCOMPARE(settings.value(dark), std::optional(DesktopPictureSettings::Value {QStringLiteral("file:///home/someone/Pictures/dark.jpg"), true}));
        // Never set by the user: back to the desktop's default, not a copy of it.
        QCOMPARE(settings.value(lock), lockDefault);
        QVERIFY(!QFileInfo::exists(DesktopPicture::backupPath()));
        QVERIFY(QDir(DesktopPicture::stillFolder()).isEmpty());
    }

    void keepsWhatTheUserPickedSince()
    {
        QVERIFY(settings.set(light, QStringLiteral("file:///old.png")));
        QVERIFY(DesktopPicture::place(settings, still(Qt::green)));
        // The user picks a new desktop picture; the lock screen still shows ours.
        QVERIFY(settings.set(light, QStringLiteral("file:///new.png")));
        QVERIFY(DesktopPicture::giveBack(settings));
        QCOMPARE(settings.value(light)->text, QStringLiteral("file:///new.png"));
        QVERIFY(!settings.value(lock)->ownValue);
        QVERIFY(!DesktopPicture::showsOurs(settings));
        QVERIFY(!QFileInfo::exists(DesktopPicture::backupPath()));

        // Everything changed by the user: nothing is touched, the backup goes.
        QVERIFY(DesktopPicture::place(settings, still(Qt::green)));
        for (const QString& key : settings.keys())
            QVERIFY(settings.set(key, QStringLiteral("file:///theirs.png")));
        QVERIFY(DesktopPicture::giveBack(settings));
        for (const QString& key : settings.keys())
            QCOMPARE(settings.value(key)->text, QStringLiteral("file:///theirs.png"));
        QVERIFY(!QFileInfo::exists(DesktopPicture::backupPath()));
    }

    void neverBacksUpOursAndKeepsABackupItCannotRead()
    {
        QVERIFY(DesktopPicture::place(settings, still(Qt::red)));
        QVERIFY(QFile::remove(DesktopPicture::backupPath()));
        // Ours showing and no backup: placing again backs up nothing (it would back up ours).
        QVERIFY(DesktopPicture::place(settings, still(Qt::red)));
        QVERIFY(!QFileInfo::exists(DesktopPicture::backupPath()));
        // Given back without a backup: the desktop's defaults.
        QVERIFY(DesktopPicture::giveBack(settings));
        for (const QString& key : settings.keys())
            QVERIFY(!settings.value(key)->ownValue);

        QVERIFY(settings.set(dark, QStringLiteral("file:///mine.png")));
        QVERIFY(DesktopPicture::place(settings, still(Qt::red)));
        QFile damaged(DesktopPicture::backupPath());
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("{\"org.gnome.desk");
        damaged.close();
        QVERIFY(!DesktopPicture::giveBack(settings));
        QVERIFY(QFileInfo::exists(DesktopPicture::backupPath()));
        QVERIFY(DesktopPicture::showsOurs(settings)); // nothing guessed
    }

    void withoutSchemasNothingIsSetUp()
    {
        // A process whose GIO finds no schemas at all.
        QTemporaryDir empty;
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), empty.path());
        environment.insert(QStringLiteral("GSETTINGS_SCHEMA_DIR"), empty.path());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--no-schemas")});
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()).trimmed(),
                 QStringLiteral("set up: no; placed: no (this desktop keeps no wallpaper settings that can be set); given back: yes; "
                                "with a backup: no, kept: yes"));
    }
};

int main(int argc, char* argv[])
{
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("XDG_CONFIG_HOME", root().filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", root().filePath(QStringLiteral("data")).toUtf8());
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--no-schemas"))) {
        DesktopPictureSettings& settings = DesktopPictureSettings::system();
        QString error;
        const bool placed = DesktopPicture::place(settings, still(Qt::red), &error);
        const bool given = DesktopPicture::giveBack(settings);
        // A backup from a session that had the schemas is kept for when they are back.
        QDir().mkpath(QFileInfo(DesktopPicture::backupPath()).absolutePath());
        QFile backup(DesktopPicture::backupPath());
        backup.open(QIODevice::WriteOnly);
        backup.write("{}");
        backup.close();
        const bool givenWithBackup = DesktopPicture::giveBack(settings);
        std::printf("set up: %s; placed: %s (%s); given back: %s; with a backup: %s, kept: %s\n", settings.isSetUp() ? "yes" : "no",
                    placed ? "yes" : "no", qPrintable(error), given ? "yes" : "no", givenWithBackup ? "yes" : "no",
                    QFileInfo::exists(DesktopPicture::backupPath()) ? "yes" : "no");
        return 0;
    }
    TestDesktopPicture test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop_picture.moc"
