// The XML key-value store: the exact bytes it writes, its path and name
// rules, encodings and escaping, and recovery from an unreadable file.
#include "Modules/DataStore.h"
#include "Modules/XMLConfig.h"
#include "maps/XmlFileStorage.h"
#include "tests/TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace zembrik;
using namespace zembrik::test;

namespace {
const QByteArray kDecl = "<?xml version=\"1.0\" encoding=\"Windows-1252\" standalone=\"no\"?>\r\n";
} // namespace

class XmlStoreTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString file(const char *name) { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    void exampleBytes()
    {
        {
            TXMLConfig c(QStringLiteral("Configuration"), file("example.map"));
            c.WriteInteger(QStringLiteral("Map0"), QStringLiteral("Output0.Note0"), 36);
            c.WriteInteger(QStringLiteral("Map0"), QStringLiteral("Output0.Note1"), 38);
        }
        QCOMPARE(readAll(file("example.map")), kDecl + "<Configuration>\r\n"
                                                       "  <Map0>\r\n"
                                                       "    <Output0.Note0>36</Output0.Note0>\r\n"
                                                       "    <Output0.Note1>38</Output0.Note1>\r\n"
                                                       "  </Map0>\r\n"
                                                       "</Configuration>\r\n");
        {
            TXMLConfig c(QStringLiteral("Configuration"), file("empty.map"));
        }
        QCOMPARE(readAll(file("empty.map")), kDecl + "<Configuration/>\r\n");
    }

    void pathsAndValues()
    {
        XmlFileStorage s;
        s.WriteInteger(QStringLiteral("\\\\Map0\\.\\x\\..\\Note\\"), -7); // empty, "." and ".." parts
        QCOMPARE(s.ReadInteger(QStringLiteral("map0\\NOTE"), 0), -7);     // case-insensitive below the root
        // The root name goes in front of every path: naming it again looks
        // for a child of that name.
        QCOMPARE(s.ReadInteger(QStringLiteral("Configuration\\Map0\\Note"), 0), 0);
        QCOMPARE(s.ReadInteger(QStringLiteral("Map0\\Missing"), 99), 99);
        s.WriteString(QStringLiteral("Map0\\Empty"), QString());
        QCOMPARE(s.ReadInteger(QStringLiteral("Map0\\Empty"), 99), -1);
        s.WriteString(QStringLiteral("Map0\\Text"), QStringLiteral("12a"));
        QCOMPARE(s.ReadInteger(QStringLiteral("Map0\\Text"), 99), -1);
        QVERIFY_THROWS_EXCEPTION(EStoreError, s.WriteInteger(QStringLiteral("Map 0\\Key"), 1));
        s.WriteInteger(QStringLiteral("a/b\\Key"), 5);
        QVERIFY(s.Serialize().contains("<a_b>"));

        // A lower-case root in the file is not the store's root.
        writeAll(
            file("lower.map"),
            "<?xml version=\"1.0\"?><configuration><map0><output0.note0>40</output0.note0></map0></configuration>");
        XmlFileStorage r;
        r.SetFileName(file("lower.map"));
        QCOMPARE(r.ReadInteger(QStringLiteral("\\Map0\\Output0.Note0\\"), 255), 255);
        QCOMPARE(r.ReadInteger(QStringLiteral("\\configuration\\Map0\\Output0.Note0\\"), 255), 255);
    }

    void encodingsAndEscaping()
    {
        XmlFileStorage s;
        s.WriteString(QStringLiteral("S\\V"), QStringLiteral("a<b&c\"'>") + QChar(0xE9) + QChar(0x20AC) + QChar(1));
        const QByteArray bytes = s.Serialize();
        QVERIFY(bytes.startsWith(kDecl));
        QVERIFY2(bytes.contains("<V>a&lt;b&amp;c&quot;&apos;&gt;&#xe9;&#x80;&#x01;</V>"), bytes.constData());
        XmlFileStorage back;
        back.Parse(bytes);
        QCOMPARE(back.ReadString(QStringLiteral("S\\V"), {}),
                 QStringLiteral("a<b&c\"'>") + QChar(0xE9) + QChar(0x20AC) + QChar(1));

        // A UTF-8 declaration is written back as UTF-8 with a BOM, keeping
        // the attributes' order and adding what is missing at the end.
        writeAll(file("utf8.map"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- kit -->\n"
                                   "<Configuration><K>\xC3\xA9</K></Configuration>");
        {
            TXMLConfig c(QStringLiteral("Configuration"), file("utf8.map"));
            QCOMPARE(c.Storage().ReadString(QStringLiteral("K"), {}), QString(QChar(0xE9)));
        }
        QCOMPARE(readAll(file("utf8.map")),
                 "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n<!-- kit -->\r\n"
                 "<Configuration>\r\n  <K>&#xe9;</K>\r\n</Configuration>\r\n");

        // 8-bit file with a BOM-less Windows-1252 byte, and UTF-16 LE.
        writeAll(file("ansi.map"), "<Configuration><K>\xE9</K></Configuration>");
        XmlFileStorage ansi;
        ansi.SetFileName(file("ansi.map"));
        QCOMPARE(ansi.ReadString(QStringLiteral("K"), {}), QString(QChar(0xE9)));
        QVERIFY(ansi.Serialize().startsWith(kDecl)); // no declaration read: the code page
        XmlFileStorage u16;
        u16.SetRootName(QStringLiteral("R"));
        QString text = QStringLiteral("<R><K>") + QChar(0xE9) + QStringLiteral("</K></R>");
        u16.Parse(QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
        QCOMPARE(u16.ReadString(QStringLiteral("K"), {}), QString(QChar(0xE9)));
        QVERIFY(u16.Serialize().startsWith("\xFF\xFE<\0?\0x\0"));
    }

    void stringsAndDeletedKeys()
    {
        {
            TXMLConfig c(QStringLiteral("Configuration"), file("items.xml"));
            c.WriteString(QStringLiteral("formMain\\list_Items"), QStringLiteral("Item0"),
                          QStringLiteral("<U><B>T</B></U>"));
            c.WriteString(QStringLiteral("formMain\\list_Items"), QStringLiteral("Item1"), QStringLiteral("a"));
            c.WriteString(QStringLiteral("formMain\\list_Items"), QStringLiteral("Item2"), QStringLiteral("b"));
            c.WriteInteger(QStringLiteral("formMain\\list_Items"), QStringLiteral("Count"), 3);
            QCOMPARE(c.ReadString(QStringLiteral("formMain\\list_Items"), QStringLiteral("Item0"), {}),
                     QStringLiteral("<U><B>T</B></U>"));
            QCOMPARE(c.ReadString(QStringLiteral("formMain"), QStringLiteral("Missing"), QStringLiteral("d")),
                     QStringLiteral("d"));
            QVERIFY(c.DeleteKey(QStringLiteral("formMain\\list_Items"), QStringLiteral("item1"))); // any case
            QVERIFY(!c.DeleteKey(QStringLiteral("formMain\\list_Items"), QStringLiteral("Item1")));
            QVERIFY(!c.ValueExists(QStringLiteral("formMain\\list_Items"), QStringLiteral("Item1")));
            QVERIFY(c.ValueExists(QStringLiteral("formMain\\list_Items"), QStringLiteral("Item2")));
        }
        QCOMPARE(readAll(file("items.xml")), kDecl + "<Configuration>\r\n"
                                                     "  <formMain>\r\n"
                                                     "    <list_Items>\r\n"
                                                     "      <Item0>&lt;U&gt;&lt;B&gt;T&lt;/B&gt;&lt;/U&gt;</Item0>\r\n"
                                                     "      <Item2>b</Item2>\r\n"
                                                     "      <Count>3</Count>\r\n"
                                                     "    </list_Items>\r\n"
                                                     "  </formMain>\r\n"
                                                     "</Configuration>\r\n");
        {
            TDataStore d(QStringLiteral("Configuration"), file("items.xml"));
            QCOMPARE(d.ReadString(QStringLiteral("formMain\\list_Items"), QStringLiteral("Item2"), {}),
                     QStringLiteral("b"));
            QVERIFY(d.DeleteKey(QStringLiteral("formMain\\list_Items"), QStringLiteral("Item2")));
            d.WriteString(QStringLiteral("formMain\\list_Items"), QStringLiteral("Item1"), QStringLiteral("c"));
        }
        QVERIFY(readAll(file("items.xml")).contains("<Count>3</Count>\r\n      <Item1>c</Item1>"));
        // A whole section goes with its key; the root itself cannot be deleted.
        XmlFileStorage s;
        s.SetFileName(file("items.xml"));
        QVERIFY(s.DeleteKey(QStringLiteral("formMain")));
        QVERIFY(!s.DeleteKey(QString()));
        QCOMPARE(s.Serialize(), kDecl + "<Configuration/>\r\n");

        // Read-only: nothing is deleted.
        XmlFileStorage ro;
        ro.SetFileName(file("items.xml"));
        ro.SetReadOnly(true);
        QVERIFY(!ro.DeleteKey(QStringLiteral("formMain\\list_Items\\Item0")));
        QVERIFY(ro.ValueExists(QStringLiteral("formMain\\list_Items\\Item0")));
    }

    void autoFlushWritesOncePerGroup()
    {
        const QString path = file("group.xml");
        XmlFileStorage s;
        s.SetFileName(path);
        s.SetAutoFlush(true);
        s.BeginUpdate();
        s.WriteInteger(QStringLiteral("a\\One"), 1);
        s.BeginUpdate();
        s.WriteString(QStringLiteral("a\\Two"), QStringLiteral("2"));
        s.EndUpdate();
        QVERIFY(!QFile::exists(path)); // the outer group is still open
        s.DeleteKey(QStringLiteral("a\\One"));
        s.EndUpdate();
        QCOMPARE(readAll(path),
                 kDecl + "<Configuration>\r\n  <a>\r\n    <Two>2</Two>\r\n  </a>\r\n</Configuration>\r\n");
        // Outside a group every write is written at once.
        s.WriteInteger(QStringLiteral("a\\Three"), 3);
        QVERIFY(readAll(path).contains("<Three>3</Three>"));
        s.EndUpdate(); // an unmatched end does no harm
        s.WriteInteger(QStringLiteral("a\\Four"), 4);
        QVERIFY(readAll(path).contains("<Four>4</Four>"));
    }

    void standaloneAndVersionKept()
    {
        XmlFileStorage s;
        s.Parse("<?xml version=\"1.0\" standalone=\"yes\"?><Configuration/>");
        // A missing encoding goes before standalone, where XML wants it.
        QVERIFY(s.Serialize().startsWith("<?xml version=\"1.0\" encoding=\"Windows-1252\" standalone=\"yes\"?>\r\n"));
    }

    void unreadableFileGoesToTrash()
    {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
        writeAll(file("broken.map"), "<Configuration><Map0></Configuration>");
        {
            TDataStore store(QStringLiteral("Configuration"), file("broken.map"));
            QCOMPARE(store.ReadInteger(QStringLiteral("Map0"), QStringLiteral("Output0.Note0"), 255), 255);
            QVERIFY(store.RecoveryMessage().isEmpty());
            QVERIFY(store.SetAsidePath().startsWith(home.path()));
            QCOMPARE(readAll(store.SetAsidePath()), QByteArray("<Configuration><Map0></Configuration>"));
        }
        QCOMPARE(readAll(file("broken.map")), kDecl + "<Configuration/>\r\n");
    }

    void readOnlyFileIsNeverWritten()
    {
        writeAll(file("ro.map"), "<Configuration><A>1</A></Configuration>");
        XmlFileStorage s;
        s.SetFileName(file("ro.map"));
        s.SetReadOnly(true);
        s.WriteInteger(QStringLiteral("A"), 2);
        QVERIFY(s.Flush());
        QCOMPARE(s.ReadInteger(QStringLiteral("A"), 0), 1);
        QCOMPARE(readAll(file("ro.map")), QByteArray("<Configuration><A>1</A></Configuration>"));
    }

    // On a full disk the old file stays byte for byte and the failure is
    // reported.  Needs a small tmpfs, which only root can mount.
    void fullDiskKeepsOldFile()
    {
        SmallDisk mnt;
        if (!mnt.mounted())
            QSKIP("cannot mount a tmpfs here");
        const QString path = mnt.filePath(QStringLiteral("kit.map"));
        writeAll(path, "<Configuration><A>1</A></Configuration>");
        const QByteArray old = readAll(path);
        mnt.fill();
        XmlFileStorage s;
        s.SetFileName(path);
        for (int i = 0; i < 400; ++i)
            s.WriteInteger(QStringLiteral("Map0\\Output%1.Note%2").arg(i / 10).arg(i % 10), i);
        QVERIFY(!s.Flush());
        QVERIFY(!s.LastError().isEmpty());
        QCOMPARE(readAll(path), old);
    }
};

QTEST_GUILESS_MAIN(XmlStoreTest)
#include "test_xml_store.moc"
