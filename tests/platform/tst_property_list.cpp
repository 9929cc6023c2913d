#include "binary_plist.h"
#include "platform/property_list.h"

#include <QTest>

#include <plist/plist.h>

class TestPropertyList : public QObject
{
    Q_OBJECT

private:
    static QByteArray nestedXml(int depth, const QByteArray& inside = {})
    {
        return "<plist version=\"1.0\">" + QByteArray("<array>").repeated(depth) + inside + QByteArray("</array>").repeated(depth)
            + "</plist>";
    }

    static QVariantMap bigMap(int keys)
    {
        QVariantMap map;
        for (int i = 0; i < keys; ++i) {
            const QString key = QStringLiteral("key <%1> & co").arg(i);
            switch (i % 4) {
            case 0: map.insert(key, qlonglong(i) - 500); break;
            case 1: map.insert(key, QStringLiteral("text \"%1\" ünï").arg(i)); break;
            case 2: map.insert(key, QVariantMap {{QStringLiteral("list"), QVariantList {i, 0.5, true, QVariantMap()}}}); break;
            default: map.insert(key, QByteArray(i % 97, char(i))); break;
            }
        }
        return map;
    }

private slots:
    // The parser recurses once per level; it must only ever see documents within the cap, binary
    // or XML alike.
    void nestingIsCappedBeforeTheParser_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("parses");
        QTest::newRow("binary at the cap") << BinaryPlist::nestedArrays(PropertyList::maxDepth) << true;
        QTest::newRow("binary one past") << BinaryPlist::nestedArrays(PropertyList::maxDepth + 1) << false;
        QTest::newRow("binary 100,000 deep") << BinaryPlist::nestedArrays(100000) << false;
        QTest::newRow("xml at the cap") << nestedXml(PropertyList::maxDepth) << true;
        QTest::newRow("xml one past") << nestedXml(PropertyList::maxDepth + 1) << false;
        // Closing tags inside CDATA are text: they must not make room for deeper nesting.
        QTest::newRow("xml hidden closings") << nestedXml(200, "<string><![CDATA[" + QByteArray("</array>").repeated(200) + "]]></string>")
                                             << false;
    }

    void nestingIsCappedBeforeTheParser()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, parses);
        QCOMPARE(PropertyList::parse(bytes).has_value(), parses);
    }

    void binaryGraphsThatAreNoTreesAreRefused()
    {
        using namespace BinaryPlist;
        // An array holding itself.
        QVERIFY(!PropertyList::parse(file({array({0})})));
        // 60 levels each holding the next one twice: 2^60 nodes once expanded.
        QList<QByteArray> doubling;
        for (int i = 0; i < 60; ++i)
            doubling.append(array({i + 1, i + 1}));
        doubling.append(integer(7));
        QVERIFY(!PropertyList::parse(file(doubling)));
        // Sharing a leaf is ordinary (writers share equal strings): allowed.
        const auto shared = PropertyList::parse(file({array({1, 1, 1}), ascii("same")}));
        QVERIFY(shared);
        QCOMPARE(shared->toList(), (QVariantList {QStringLiteral("same"), QStringLiteral("same"), QStringLiteral("same")}));
        // References past the object table.
        QVERIFY(!PropertyList::parse(file({array({5})})));
    }

    void stringsAreReadWithTheirLength()
    {
        using namespace BinaryPlist;
        const QString withNul = QStringLiteral("é") + QChar(0) + QStringLiteral("y");
        const auto value = PropertyList::parse(file({dict({1}, {2}), ascii("a"), utf16(withNul)}));
        QVERIFY(value);
        QCOMPARE(value->toMap().value(QStringLiteral("a")).toString(), withNul);
        // A NUL byte inside an XML string: read, never a crash.
        static const char nulInXml[] = "<plist version=\"1.0\"><dict><key>a</key><string>x\0y</string></dict></plist>";
        const auto xml = PropertyList::parse(QByteArray(nulInXml, sizeof nulInXml - 1));
        QVERIFY(xml);
        QVERIFY(xml->toMap().value(QStringLiteral("a")).toString().startsWith(QLatin1Char('x')));
        // A key holding a NUL cannot be read back as what it is: the document is refused.
        QVERIFY(!PropertyList::parse(file({dict({1}, {2}), utf16(withNul), integer(1)})));
    }

    // Large dictionaries are parsed and written a slice at a time; the result must not tell.
    void largeDictionariesMatchTheWholeDocument()
    {
        const QVariantMap map = bigMap(1000);
        const QByteArray xml = PropertyList::toXml(map);

        // The same bytes as the library writes for the dictionary built in one piece.
        plist_t whole = plist_new_dict();
        for (auto it = map.begin(); it != map.end(); ++it) {
            const QByteArray one = PropertyList::toBinary(it.value());
            plist_t child = nullptr;
            plist_from_bin(one.constData(), uint32_t(one.size()), &child);
            QVERIFY(child);
            plist_dict_set_item(whole, it.key().toUtf8().constData(), child);
        }
        char* text = nullptr;
        uint32_t length = 0;
        plist_to_xml(whole, &text, &length);
        const QByteArray expected(text, length);
        plist_to_xml_free(text);
        plist_free(whole);
        QCOMPARE(xml, expected);

        const auto back = PropertyList::parse(xml);
        QVERIFY(back);
        QCOMPARE(back->toMap(), map);

        // Documents from other writers: comments inside, no indentation, a key given twice.
        QByteArray other = xml;
        other.replace("\n", "").replace("\t", "");
        other.replace("</dict></plist>", "<key>key &lt;0&gt; &amp; co</key><string>last</string></dict></plist>");
        auto reread = PropertyList::parse(other);
        QVERIFY(reread);
        QCOMPARE(reread->toMap().value(QStringLiteral("key <0> & co")).toString(), QStringLiteral("last"));
        QCOMPARE(reread->toMap().size(), map.size());
        other.replace("<dict><key>", "<dict><!-- written by hand --><key>");
        reread = PropertyList::parse(other);
        QVERIFY(reread);
        QCOMPARE(reread->toMap().size(), map.size());
        // A broken entry anywhere breaks the whole document.
        QByteArray broken = xml;
        broken.replace("<key>key &lt;500&gt; &amp; co</key>", "<key>key &lt;500&gt; &amp; co</kez>");
        QVERIFY(!PropertyList::parse(broken));
    }
};

QTEST_GUILESS_MAIN(TestPropertyList)
#include "tst_property_list.moc"
