#include <QtTest>

#include "platform/ProfileFile.h"

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
}  // namespace

class TestProfileFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path() const { return dir_.filePath("wettk.ini"); }

  private slots:
    void init() { QFile::remove(path()); }

    void missingFileSectionOrKeyReadsEmpty() {
        ProfileFile ini(path());
        QCOMPARE(ini.read("WERTUNG", "MONAT"), QString());
        writeAll(path(), "[WERTUNG]\r\nTEILER=10\r\n");
        QCOMPARE(ini.read("WERTUNG", "MONAT"), QString());
        QCOMPARE(ini.read("EXPORT", "TEILER"), QString());
    }

    void namesMatchWithoutCaseValuesAsStored() {
        writeAll(path(), "[Wertung]\r\n  teiler = 10 \r\nName=\"  RMIII \"\r\n");
        ProfileFile ini(path());
        QCOMPARE(ini.read("WERTUNG", "TEILER"), QString("10"));
        QCOMPARE(ini.read("wertung", "NAME"), QString("  RMIII "));
    }

    void writeCreatesFileAndSection() {
        ProfileFile ini(dir_.filePath("neu/wettk.ini"));
        QVERIFY(ini.write("EXPORT", "DELIMITER", ";"));
        QCOMPARE(ini.read("export", "delimiter"), QString(";"));
        QVERIFY(ini.write("DB1", "NAME", "Training"));
        QCOMPARE(readAll(ini.path()),
                 QByteArray("[EXPORT]\r\nDELIMITER=;\r\n[DB1]\r\nNAME=Training\r\n"));
    }

    // A value replaced where it stands (the first of duplicates), a new key at its section's
    // end; every other line, comment and blank line, and the file's own line breaks kept.
    void writeKeepsEveryOtherLine_data() {
        QTest::addColumn<QByteArray>("vorher");
        QTest::addColumn<QString>("abschnitt");
        QTest::addColumn<QString>("schluessel");
        QTest::addColumn<QByteArray>("nachher");
        const QByteArray verein =
            "; Einstellungen des Vereins\r\n[WERTMASCHINE]\r\nNAME=SAM\r\n"
            "; Port fuer die Maschine\r\nCOMPORT=2\r\n\r\n[WERTUNG]\r\nMONAT=0\r\n";
        QTest::newRow("ersetzt") << verein << "wertmaschine" << "name"
                                 << QByteArray(verein).replace("NAME=SAM", "NAME=neu");
        QTest::newRow("angefuegt") << verein << "WERTMASCHINE" << "SPEED"
                                   << QByteArray(verein).replace("COMPORT=2\r\n",
                                                                 "COMPORT=2\r\nSPEED=neu\r\n");
        QTest::newRow("unix") << QByteArray("[A]\nx=1\n") << "A" << "x"
                              << QByteArray("[A]\nx=neu\n");
        QTest::newRow("doppelt") << QByteArray("[A]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\n") << "A"
                                 << "K" << QByteArray("[A]\r\nk=neu\r\nk=2\r\n[a]\r\nk=3\r\n");
    }
    void writeKeepsEveryOtherLine() {
        QFETCH(QByteArray, vorher);
        QFETCH(QString, abschnitt);
        QFETCH(QString, schluessel);
        QFETCH(QByteArray, nachher);
        writeAll(path(), vorher);
        ProfileFile ini(path());
        QVERIFY(ini.write(abschnitt, schluessel, "neu"));
        QCOMPARE(readAll(path()), nachher);
    }

    void longValuesReadBackAs254Characters() {
        ProfileFile ini(path());
        const QString value(300, u'x');
        QVERIFY(ini.write("DB1", "DATEI", value));
        QCOMPARE(ini.read("DB1", "DATEI"), value.left(254));
    }

    void fileIsWindows1252() {
        ProfileFile ini(path());
        QVERIFY(ini.write("DB3", "FARBE", QString::fromUtf8("&HD1CE01_Türkis €")));
        QVERIFY(
            readAll(path()).contains("&HD1CE01_T\xFC"
                                     "rkis \x80"));
        writeAll(path(),
                 "[DB4]\r\nNAME=Sch\xFC"
                 "tzen\x96"
                 "Abend\r\n");
        QCOMPARE(ini.read("DB4", "NAME"), QString::fromUtf8("Schützen–Abend"));
    }

    void firstOfDuplicateSectionsAndKeysCounts() {
        writeAll(path(), "[A]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\n");
        QCOMPARE(ProfileFile(path()).read("A", "K"), QString("1"));
    }

    void aValueCannotBreakIntoNewEntries() {
        ProfileFile ini(path());
        QVERIFY(ini.write("DB1", "NAME", "Abend\r\n[WERTUNG]\r\nTEILER=1"));
        QCOMPARE(ini.read("WERTUNG", "TEILER"), QString());
        QVERIFY(ini.read("DB1", "NAME").startsWith("Abend"));
    }

    // The file is read once, but a change on disk is seen at the next lookup.
    void changesOnDiskAreSeen() {
        writeAll(path(), "[WERTUNG]\r\nTEILER=1\r\n");
        ProfileFile ini(path());
        QCOMPARE(ini.read("WERTUNG", "TEILER"), QString("1"));
        writeAll(path(), "[WERTUNG]\r\nTEILER=60\r\n");
        QCOMPARE(ini.read("WERTUNG", "TEILER"), QString("60"));
        QVERIFY(ini.write("WERTUNG", "MONAT", "3"));
        QCOMPARE(ini.read("WERTUNG", "MONAT"), QString("3"));
        QVERIFY(QFile::remove(path()));
        QCOMPARE(ini.read("WERTUNG", "TEILER"), QString());
    }

    // A copy gone wrong: far too large to be settings. Nothing is read, nothing overwritten.
    void aHugeFileIsNeitherReadNorWritten() {
        const QByteArray riesig =
            "[WERTMASCHINE]\r\nNAME=SAM\r\n" + QByteArray(2 * 1024 * 1024, 'x');
        writeAll(path(), riesig);
        ProfileFile ini(path());
        QVERIFY(ini.tooLarge());
        QCOMPARE(ini.read("WERTMASCHINE", "NAME"), QString());
        QVERIFY(!ini.write("WERTMASCHINE", "NAME", "RMIII"));
        QCOMPARE(readAll(path()), riesig);
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "test_profilefile.moc"
