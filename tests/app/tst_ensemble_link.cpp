#include "app/ensemble_link.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<EnsembleLink>)

namespace {
const QUuid first = QUuid::fromString(QStringLiteral("11111111-1111-1111-1111-111111111111"));
const QUuid second = QUuid::fromString(QStringLiteral("22222222-2222-2222-2222-222222222222"));
const QUuid third = QUuid::fromString(QStringLiteral("33333333-3333-3333-3333-333333333333"));
const QList<EnsembleLink::Entry> ensembles = {
    {first, QStringLiteral("Morning")}, {second, QStringLiteral("Café Noir")}, {third, QStringLiteral("Night Drive")}};
} // namespace

class TestEnsembleLink : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<std::optional<EnsembleLink>>("link");
        const auto none = std::optional<EnsembleLink>();
        QTest::newRow("named") << "zentrove://ensemble/Morning" << std::optional(EnsembleLink::named(QStringLiteral("Morning")));
        QTest::newRow("named, slashes and spaces trimmed") << "zentrove://ensemble/%20Night%20Drive%20/" << std::optional(EnsembleLink::named(QStringLiteral("Night Drive")));
        QTest::newRow("named, encoded accent") << "zentrove://ensemble/Caf%C3%A9" << std::optional(EnsembleLink::named(QStringLiteral("Café")));
        QTest::newRow("named by id") << "zentrove://ensemble/22222222-2222-2222-2222-222222222222"
                                     << std::optional(EnsembleLink::named(QStringLiteral("22222222-2222-2222-2222-222222222222")));
        QTest::newRow("host in capitals") << "zentrove://Next" << std::optional(EnsembleLink::next());
        QTest::newRow("scheme in capitals") << "ZENTROVE://previous" << std::optional(EnsembleLink::previous());
        QTest::newRow("next with a path") << "zentrove://next/whatever" << std::optional(EnsembleLink::next());
        QTest::newRow("empty path") << "zentrove://ensemble" << none;
        QTest::newRow("only a slash") << "zentrove://ensemble/" << none;
        QTest::newRow("only slashes and spaces") << "zentrove://ensemble/%20/%20" << none;
        QTest::newRow("other host") << "zentrove://settings" << none;
        QTest::newRow("other scheme") << "https://ensemble/Morning" << none;
        QTest::newRow("no host") << "zentrove:ensemble/Morning" << none;
        QTest::newRow("garbage") << "::::" << none;
    }

    void parse()
    {
        QFETCH(QString, url);
        QFETCH(std::optional<EnsembleLink>, link);
        QCOMPARE(EnsembleLink::parse(QUrl(url)), link);
    }

    void resolve_data()
    {
        QTest::addColumn<EnsembleLink>("link");
        QTest::addColumn<std::optional<QUuid>>("current");
        QTest::addColumn<std::optional<QUuid>>("expected");
        const auto id = [](const QUuid& u) { return std::optional(u); };
        const std::optional<QUuid> none;
        QTest::newRow("name ignoring case") << EnsembleLink::named(QStringLiteral("night drive")) << none << id(third);
        QTest::newRow("name ignoring accents") << EnsembleLink::named(QStringLiteral("CAFE NOIR")) << none << id(second);
        QTest::newRow("id") << EnsembleLink::named(first.toString(QUuid::WithoutBraces).toUpper()) << none << id(first);
        QTest::newRow("unknown name") << EnsembleLink::named(QStringLiteral("Evening")) << id(first) << none;
        QTest::newRow("next") << EnsembleLink::next() << id(first) << id(second);
        QTest::newRow("next from the last wraps") << EnsembleLink::next() << id(third) << id(first);
        QTest::newRow("previous from the first wraps") << EnsembleLink::previous() << id(first) << id(third);
        QTest::newRow("previous") << EnsembleLink::previous() << id(third) << id(second);
        QTest::newRow("next without a current one") << EnsembleLink::next() << none << id(first);
        QTest::newRow("previous from an unknown one") << EnsembleLink::previous() << id(QUuid::createUuid()) << id(first);
    }

    void resolve()
    {
        QFETCH(EnsembleLink, link);
        QFETCH(std::optional<QUuid>, current);
        QFETCH(std::optional<QUuid>, expected);
        QCOMPARE(link.resolve(ensembles, current), expected);
    }

    void emptyLibraryResolvesNothing()
    {
        QCOMPARE(EnsembleLink::next().resolve({}, first), std::nullopt);
        QCOMPARE(EnsembleLink::named(QStringLiteral("Morning")).resolve({}, std::nullopt), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestEnsembleLink)
#include "tst_ensemble_link.moc"
