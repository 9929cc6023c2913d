#include "clock/clock_hours.h"
#include "clock/presets.h"
#include "clock/style_store.h"
#include "core/zentrove.h"
#include "platform/defaults.h"

#include "test_support.h"

#include <QJsonDocument>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

Defaults& clockDomain() { return Defaults::domain(Zentrove::vizaVedidID()); }

QStringList names(const QList<NamedStyle>& presets)
{
    QStringList result;
    for (const NamedStyle& preset : presets)
        result << preset.name;
    return result;
}

const NamedStyle& shipped(const QString& name)
{
    for (const NamedStyle& preset : Presets::builtIn())
        if (preset.name == name)
            return preset;
    qFatal("no shipped preset %s", qPrintable(name));
}

const QStringList shippedNames{QStringLiteral("Eclipse"), QStringLiteral("Graphite"), QStringLiteral("Infinity"),
                               QStringLiteral("Frog Pond")};

} // namespace

class TestStyleStore : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<StyleStore> open() { return std::make_unique<StyleStore>(clockDomain()); }

private slots:
    void init() { m_home = std::make_unique<TestHome>(); }
    void cleanup()
    {
        m_home.reset();
        ClockHours::shared().setFormat(ClockTimeFormat::mac);
    }

    // Every shipped preset can be applied, written and read back by another process unchanged;
    // each has its own id and name, so restoring one never finds another.
    void shippedPresetsSurviveTheStore()
    {
        QSet<QUuid> ids;
        QSet<QString> seen;
        for (const NamedStyle& preset : Presets::builtIn()) {
            ids.insert(preset.id);
            seen.insert(preset.name);
            {
                auto store = open();
                store->applyPreset(preset);
            }
            Defaults::forgetAll();
            auto reopened = open();
            QVERIFY2(reopened->style() == preset.style, qPrintable(preset.name));
        }
        QCOMPARE(ids.size(), Presets::builtIn().size());
        QCOMPARE(seen.size(), Presets::builtIn().size());
        QVERIFY(ClockStyle::decode(Presets::bold().encode()) == Presets::bold());
    }

    void emptyDomainStartsWithBoldAndTheShippedPresets()
    {
        const auto store = open();
        QCOMPARE(store->style(), Presets::bold());
        QCOMPARE(names(store->customPresets()), shippedNames);
        for (const NamedStyle& preset : store->customPresets()) {
            QCOMPARE(preset.builtIn, std::optional<QString>(preset.name));
            QCOMPARE(preset.id, shipped(preset.name).id);
        }
        QCOMPARE(clockDomain().array(QStringLiteral("seededPresets")),
                 std::optional<QVariantList>(QVariantList(shippedNames.cbegin(), shippedNames.cend())));
        QCOMPARE(clockDomain().string(QStringLiteral("timeFormat")), std::optional<QString>(QStringLiteral("mac")));
        QCOMPARE(NamedStyles::read(*clockDomain().data(QStringLiteral("customPresets"))), store->customPresets());
        QVERIFY(!store->activePresetID()); // bold is none of them
        QVERIFY(!store->activePresetEdited());
    }

    void activePresetIsFoundByStyle()
    {
        clockDomain().set(QStringLiteral("style"), shipped(QStringLiteral("Infinity")).style.encode());
        const auto store = open();
        QCOMPARE(store->activePresetID(), std::optional<QUuid>(shipped(QStringLiteral("Infinity")).id));
        QCOMPARE(clockDomain().string(QStringLiteral("activePresetID")),
                 std::optional<QString>(QStringLiteral("F3DEC8AF-34CE-44B4-B35F-3B8D03ECB194")));
    }

    void storedDataIsReadTolerantly()
    {
        ClockStyle expected;
        expected.showSeconds = true;
        clockDomain().set(QStringLiteral("style"), QByteArray(R"({"showSeconds":true,"notYetInvented":1})"));
        clockDomain().set(QStringLiteral("customPresets"), QByteArray(R"([
            {"id":"11111111-2222-3333-4444-555555555555","name":"Mine","style":{"position":"center"}},
            {"id":"not a uuid","name":"Bad id","style":{}},
            {"id":"21111111-2222-3333-4444-555555555555","name":5,"style":{}},
            {"id":"31111111-2222-3333-4444-555555555555","name":"Bad style","style":{"timeColor":{"r":1}}},
            {"id":"41111111-2222-3333-4444-555555555555","name":"Tagged","style":{},"builtIn":7},
            "junk"])"));
        clockDomain().set(QStringLiteral("timeFormat"), QStringLiteral("sundial"));
        const auto store = open();
        QCOMPARE(store->style(), expected);
        QCOMPARE(names(store->customPresets()).mid(0, 2), (QStringList{QStringLiteral("Mine"), QStringLiteral("Tagged")}));
        QCOMPARE(store->customPresets().at(1).builtIn, std::nullopt);
        QCOMPARE(store->customPresets().at(0).style.position, ScreenPosition::center);
        QCOMPARE(store->customPresets().size(), 2 + 4);
        // A name that is no case is derived again from the stored style.
        QCOMPARE(store->timeFormat(), ClockHours::systemUses24Hour() ? ClockTimeFormat::mac : ClockTimeFormat::twentyFour);
        clockDomain().set(QStringLiteral("style"), QByteArray("{broken"));
        QCOMPARE(open()->style(), Presets::bold());
    }

    void hourFormatIsDerivedOnce()
    {
        ClockStyle style;
        style.use24Hour = !ClockHours::systemUses24Hour();
        clockDomain().set(QStringLiteral("style"), style.encode());
        const auto store = open();
        const ClockTimeFormat expected = style.use24Hour ? ClockTimeFormat::twentyFour : ClockTimeFormat::twelve;
        QCOMPARE(store->timeFormat(), expected);
        QCOMPARE(ClockHours::shared().format(), expected);
        QCOMPARE(clockDomain().string(QStringLiteral("timeFormat")), std::optional<QString>(rawValue(expected)));

        QSignalSpy hours(&ClockHours::shared(), &ClockHours::formatChanged);
        store->setTimeFormat(ClockTimeFormat::mac);
        QCOMPARE(hours.count(), 1);
        QCOMPARE(clockDomain().string(QStringLiteral("timeFormat")), std::optional<QString>(QStringLiteral("mac")));
    }

    void settersWriteThroughOnceAndOnlyOnChange()
    {
        const auto store = open();
        QSignalSpy desktop(store.get(), &StyleStore::showOnDesktopChanged);
        store->setShowOnDesktop(true);
        store->setShowOnDesktop(true);
        QCOMPARE(desktop.count(), 1);
        QCOMPARE(clockDomain().boolean(QStringLiteral("showOnDesktop")), std::optional<bool>(true));

        store->setPreviewImagePath(QStringLiteral("/pictures/lake.png"));
        QCOMPARE(clockDomain().string(QStringLiteral("previewImagePath")), std::optional<QString>(QStringLiteral("/pictures/lake.png")));
        store->setPreviewImagePath(std::nullopt);
        QVERIFY(!clockDomain().contains(QStringLiteral("previewImagePath")));

        QSignalSpy style(store.get(), &StyleStore::styleChanged);
        ClockStyle changed = store->style();
        changed.position = ScreenPosition::bottomRight;
        store->setStyle(changed);
        store->setStyle(changed);
        QCOMPARE(style.count(), 1);
        QCOMPARE(ClockStyle::decode(*clockDomain().data(QStringLiteral("style"))), std::optional<ClockStyle>(changed));

        // A style that cannot be stored faithfully is not written, but still becomes current.
        ClockStyle broken = changed;
        broken.timeFont.size = qQNaN();
        store->setStyle(broken);
        QCOMPARE(ClockStyle::decode(*clockDomain().data(QStringLiteral("style"))), std::optional<ClockStyle>(changed));
    }

    void presetOperations()
    {
        const auto store = open();
        const NamedStyle eclipse = store->customPresets().first();
        store->applyPreset(eclipse);
        QCOMPARE(store->style(), eclipse.style);
        QCOMPARE(store->activePresetID(), std::optional<QUuid>(eclipse.id));

        // Saving under a taken name gives a unique one and makes it active.
        store->saveCurrentAsPreset(QStringLiteral("eclipse"));
        QCOMPARE(store->customPresets().last().name, QStringLiteral("eclipse 2"));
        QCOMPARE(store->customPresets().last().builtIn, std::nullopt);
        QCOMPARE(store->activePresetID(), std::optional<QUuid>(store->customPresets().last().id));
        const QUuid mine = store->customPresets().last().id;

        store->renamePreset(mine, QStringLiteral("   "));
        QCOMPARE(store->customPresets().last().name, QStringLiteral("eclipse 2"));
        store->renamePreset(mine, QStringLiteral("  Frog Pond "));
        QCOMPARE(store->customPresets().last().name, QStringLiteral("Frog Pond 2"));
        store->renamePreset(QUuid::createUuid(), QStringLiteral("Nobody"));
        QVERIFY(!names(store->customPresets()).contains(QStringLiteral("Nobody")));

        ClockStyle edited = store->style();
        edited.finish = DigitFinish::glass;
        store->setStyle(edited);
        QVERIFY(store->activePresetEdited());
        store->saveCurrentToActivePreset();
        QVERIFY(!store->activePresetEdited());
        QCOMPARE(store->customPresets().last().style.finish, DigitFinish::glass);

        // Deleting the active preset leaves the id dangling: no active preset.
        store->deletePreset(mine);
        QCOMPARE(store->customPresets().size(), 4);
        QCOMPARE(store->activePresetID(), std::optional<QUuid>(mine));
        QVERIFY(!store->activePreset());
        QVERIFY(store->missingBuiltInPresets().isEmpty()); // the user's own preset is not a built-in
    }

    void deletedBuiltInStaysDeletedUntilRestored()
    {
        const QUuid graphite = shipped(QStringLiteral("Graphite")).id;
        open()->deletePreset(graphite);
        Defaults::forgetAll();
        auto store = open();
        QVERIFY(!names(store->customPresets()).contains(QStringLiteral("Graphite")));
        QCOMPARE(names(store->missingBuiltInPresets()), QStringList{QStringLiteral("Graphite")});
        QCOMPARE(store->missingBuiltInPresets().first().id, graphite);

        // A preset of the user's took the name meanwhile.
        store->saveCurrentAsPreset(QStringLiteral("Graphite"));
        store->restoreBuiltInPresets();
        QVERIFY(store->missingBuiltInPresets().isEmpty());
        QCOMPARE(store->customPresets().last().name, QStringLiteral("Graphite 2"));
        QCOMPARE(store->customPresets().last().builtIn, std::optional<QString>(QStringLiteral("Graphite")));
        QVERIFY(!clockDomain().contains(QStringLiteral("removedPresets")));

        // Restoring one by name, and through the library's restore of shipped looks.
        store->deletePreset(graphite);
        store->deletePreset(shipped(QStringLiteral("Eclipse")).id);
        QCOMPARE(store->restoreBuiltInPreset(QStringLiteral("Nope")), std::nullopt);
        const auto restored = store->restoreBuiltInPreset(QStringLiteral("Eclipse"));
        QVERIFY(restored && restored->id == shipped(QStringLiteral("Eclipse")).id);
        QCOMPARE(names(store->missingBuiltInPresets()), QStringList{QStringLiteral("Graphite")});
        QCOMPARE(store->restoreShipped(graphite), std::optional<QUuid>(graphite));
        QCOMPARE(store->restoreShipped(graphite), std::nullopt);
    }

    void shippedUpdatesReachOnlyUneditedPresets()
    {
        // The record of an older version: Eclipse and Graphite shipped with other styles.
        ClockStyle oldEclipse = shipped(QStringLiteral("Eclipse")).style;
        oldEclipse.timeFont.size = 99;
        ClockStyle oldGraphite = shipped(QStringLiteral("Graphite")).style;
        oldGraphite.timeOpacity = 0.5;
        ClockStyle userGraphite = oldGraphite;
        userGraphite.position = ScreenPosition::bottomLeft;
        QList<NamedStyle> presets = Presets::builtIn();
        for (NamedStyle& preset : presets)
            preset.builtIn = preset.name;
        presets[0].style = oldEclipse;   // as shipped then
        presets[1].style = userGraphite; // edited by the user
        clockDomain().set(QStringLiteral("customPresets"), NamedStyles::write(presets));
        clockDomain().set(QStringLiteral("seededPresets"), QVariantList(shippedNames.cbegin(), shippedNames.cend()));
        clockDomain().set(QStringLiteral("shippedPresets"), QVariantMap{{QStringLiteral("Eclipse"), oldEclipse.encode()},
                                                                       {QStringLiteral("Graphite"), oldGraphite.encode()}});
        clockDomain().set(QStringLiteral("style"), oldEclipse.encode());
        clockDomain().set(QStringLiteral("activePresetID"), presets[0].id.toString(QUuid::WithoutBraces));

        const auto store = open();
        QCOMPARE(store->customPresets().at(0).style, shipped(QStringLiteral("Eclipse")).style);
        QCOMPARE(store->style(), shipped(QStringLiteral("Eclipse")).style); // the active one followed
        QCOMPARE(store->customPresets().at(1).style, userGraphite);
        QVERIFY(!store->originalPreset(presets[0].id));
        const auto original = store->originalPreset(presets[1].id);
        QVERIFY(original && original->style == shipped(QStringLiteral("Graphite")).style);
        // The record now holds what ships today.
        const auto record = clockDomain().dictionary(QStringLiteral("shippedPresets"));
        QCOMPARE(ClockStyle::decode(record->value(QStringLiteral("Graphite")).toByteArray()),
                 std::optional<ClockStyle>(shipped(QStringLiteral("Graphite")).style));

        store->resetPreset(presets[1].id);
        QCOMPARE(store->customPresets().at(1).style, shipped(QStringLiteral("Graphite")).style);
        QVERIFY(!store->originalPreset(presets[1].id));
        QCOMPARE(store->style(), shipped(QStringLiteral("Eclipse")).style); // not active: current untouched
    }

    void reloadFollowsAnotherProcess()
    {
        const auto store = open();
        QSignalSpy format(store.get(), &StyleStore::timeFormatChanged);
        QSignalSpy presets(store.get(), &StyleStore::customPresetsChanged);
        const QByteArray before = *clockDomain().data(QStringLiteral("customPresets"));
        int exitCode = -1;
        TestSupport::runPeer({QStringLiteral("--id"), QStringLiteral("app.zentrove"), QStringLiteral("set"),
                              Zentrove::vizaVedidID(), QStringLiteral("timeFormat"), QStringLiteral("twelve")},
                             30000, &exitCode);
        QCOMPARE(exitCode, 0);
        QTRY_COMPARE(store->timeFormat(), ClockTimeFormat::twelve);
        QCOMPARE(ClockHours::shared().format(), ClockTimeFormat::twelve);
        QCOMPARE(format.count(), 1);
        QCOMPARE(presets.count(), 0); // unchanged values are not assigned again
        QCOMPARE(*clockDomain().data(QStringLiteral("customPresets")), before);
    }
};

QTEST_MAIN(TestStyleStore)
#include "tst_style_store.moc"
