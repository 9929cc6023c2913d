#include "core/shipped_looks.h"
#include "platform/defaults.h"
#include "test_support.h"

#include <QTest>

#include <memory>

namespace {

// The smallest look a store could ship: an identity and one number for its look.
struct Tint
{
    QUuid id;
    QString name;
    std::optional<QString> builtIn;
    int shade = 0;
    bool operator==(const Tint&) const = default;
};

QList<Tint>& shippedTints()
{
    static QList<Tint> tints;
    return tints;
}

struct TintLooks
{
    static const QList<Tint>& shipped() { return shippedTints(); }
    static bool sameLook(const Tint& a, const Tint& b) { return a.shade == b.shade; }
    static Tint withLookOf(Tint identity, const Tint& look)
    {
        identity.shade = look.shade;
        return identity;
    }
    static QByteArray encode(const Tint& tint) { return QByteArray::number(tint.shade); }
    static std::optional<Tint> decode(const QByteArray& data)
    {
        bool ok = false;
        const int shade = data.toInt(&ok);
        return ok ? std::optional<Tint>(Tint {{}, {}, {}, shade}) : std::nullopt;
    }
};

using Looks = ShippedLooks<Tint, TintLooks>;

const QString domainName = QStringLiteral("test.shippedLooks");
const QUuid redID = QUuid::fromString(QLatin1String("11111111-1111-4111-8111-111111111111"));
const QUuid blueID = QUuid::fromString(QLatin1String("22222222-2222-4222-8222-222222222222"));

QStringList names(const QList<Tint>& list)
{
    return Looks::names(list);
}

} // namespace

class TestShippedLooks : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestHome> home;
    Looks looks {domainName, {QStringLiteral("seeded"), QStringLiteral("removed"), QStringLiteral("shipped")}};

    Defaults& domain() { return Defaults::domain(domainName); }

private slots:
    void init()
    {
        home = std::make_unique<TestHome>();
        shippedTints() = {{redID, QStringLiteral("Red"), {}, 1}, {blueID, QStringLiteral("Blue"), {}, 2}};
    }

    void cleanup()
    {
        home.reset();
        Defaults::forgetAll();
    }

    void seedsEachShippedLookOnce()
    {
        const Tint mine {QUuid::createUuid(), QStringLiteral("red"), {}, 9};
        QList<Tint> list {mine};
        QVERIFY(looks.seed(list));
        // Marked with the shipped name, and named apart from the user's own look.
        QCOMPARE(names(list), (QStringList {"red", "Red 2", "Blue"}));
        QCOMPARE(list[1].builtIn, std::optional<QString>("Red"));
        QCOMPARE(list[1].id, redID);

        // Deleted, it is not seeded again; a look shipped later is.
        list.removeAt(1);
        QVERIFY(!looks.seed(list));
        shippedTints().append({QUuid::createUuid(), QStringLiteral("Green"), {}, 3});
        QVERIFY(looks.seed(list));
        QCOMPARE(names(list), (QStringList {"red", "Blue", "Green"}));
        QCOMPARE(domain().array(QStringLiteral("seeded")), std::optional<QVariantList>({"Red", "Blue", "Green"}));

        // Unreadable bookkeeping seeds again, but never a second item with an id already there.
        domain().set(QStringLiteral("seeded"), QStringLiteral("Red"));
        QVERIFY(looks.seed(list));
        QCOMPARE(names(list), (QStringList {"red", "Blue", "Green", "Red 2"}));
        QVERIFY(!looks.seed(list));
    }

    void refreshFollowsWhatShipsUnlessEdited()
    {
        QList<Tint> list;
        looks.seed(list);
        QVERIFY(looks.refresh(list).isEmpty()); // nothing recorded yet: only recorded now
        QCOMPARE(domain().dictionary(QStringLiteral("shipped"))->value("Red").toByteArray(), QByteArray("1"));

        list[1].shade = 7; // the user's edit of Blue
        shippedTints()[0].shade = 5;
        shippedTints()[1].shade = 6;
        const QList<Looks::Refreshed> changed = looks.refresh(list);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0].before.shade, 1);
        QCOMPARE(changed[0].after, (Tint {redID, QStringLiteral("Red"), QStringLiteral("Red"), 5}));
        QCOMPARE(list[0].shade, 5);
        QCOMPARE(list[1].shade, 7);
        QCOMPARE(domain().dictionary(QStringLiteral("shipped"))->value("Blue").toByteArray(), QByteArray("6"));
        QVERIFY(looks.refresh(list).isEmpty());

        // An unreadable record counts as an edit: the look stays.
        domain().set(QStringLiteral("shipped"), QVariantMap {{QStringLiteral("Red"), QByteArray("x")}});
        shippedTints()[0].shade = 8;
        QVERIFY(looks.refresh(list).isEmpty());
        QCOMPARE(list[0].shade, 5);
    }

    void deletedLooksComeBackWithTheirIds()
    {
        QList<Tint> list;
        looks.seed(list);
        QVERIFY(!looks.remove(list, QUuid::createUuid()));
        QVERIFY(looks.remove(list, redID));
        QVERIFY(looks.missing(list).size() == 1);
        QCOMPARE(looks.missing(list)[0], (Tint {redID, QStringLiteral("Red"), QStringLiteral("Red"), 1}));

        // The user's look took the name meanwhile; the one restored gets another.
        list.append({QUuid::createUuid(), QStringLiteral("Red"), {}, 4});
        QCOMPARE(looks.restore(list, QStringLiteral("Blue")), std::nullopt); // not missing
        const std::optional<Tint> red = looks.restore(list, QStringLiteral("Red"));
        QVERIFY(red && red->id == redID && red->name == QStringLiteral("Red 2"));
        QVERIFY(looks.missing(list).isEmpty());
        QVERIFY(!domain().contains(QStringLiteral("removed")));

        // A look whose remembered id another item has taken is not offered: no two items share an id.
        QVERIFY(looks.remove(list, blueID));
        list.append({blueID, QStringLiteral("Mine"), {}, 2});
        QVERIFY(looks.missing(list).isEmpty());
        QVERIFY(!looks.restoreAll(list));

        list.removeLast();
        QVERIFY(looks.remove(list, redID));
        QVERIFY(looks.restoreAll(list));
        QCOMPARE(names(list), (QStringList {"Red", "Red 2", "Blue"}));
        QVERIFY(!domain().contains(QStringLiteral("removed")));
    }

    void originalAndResetConcernOnlyEditedBuiltIns()
    {
        QList<Tint> list;
        looks.seed(list);
        list.append({QUuid::createUuid(), QStringLiteral("Mine"), {}, 3});
        QCOMPARE(looks.original(list, redID), std::nullopt); // as shipped
        QCOMPARE(looks.original(list, list[2].id), std::nullopt); // the user's own
        QCOMPARE(looks.reset(list, list[2].id), std::nullopt);

        list[0].shade = 9;
        list[0].name = QStringLiteral("Renamed");
        const std::optional<Tint> original = looks.original(list, redID);
        QCOMPARE(original, (std::optional<Tint>(Tint {redID, QStringLiteral("Renamed"), QStringLiteral("Red"), 1})));
        QCOMPARE(looks.reset(list, redID), original);
        QCOMPARE(list[0], *original);
        QCOMPARE(looks.original(list, redID), std::nullopt);
    }

    void renameTrimsAndKeepsNamesApart()
    {
        QList<Tint> list;
        looks.seed(list);
        QVERIFY(!Looks::rename(list, redID, QStringLiteral("   ")));
        QVERIFY(!Looks::rename(list, QUuid::createUuid(), QStringLiteral("Nobody")));
        QVERIFY(Looks::rename(list, redID, QStringLiteral(" blue ")));
        QCOMPARE(names(list), (QStringList {"blue 2", "Blue"}));
        QVERIFY(Looks::rename(list, blueID, QStringLiteral("BLUE"))); // its own name is not taken
        QCOMPARE(names(list), (QStringList {"blue 2", "BLUE"}));
    }
};

QTEST_GUILESS_MAIN(TestShippedLooks)
#include "tst_shipped_looks.moc"
