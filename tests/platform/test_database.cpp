#include <QtTest>

#include "platform/Database.h"
#include "platform/Dateien.h"
#include "platform/Dateiwechsel.h"
#include "platform/DeutscheOrdnung.h"
#include "platform/SqlDialect.h"

class TestDatabase : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    // Writes leave the file what it was; a copy put in its place (a backup brought back) is
    // another file, also within the same second and under the same name.
    void dateiKennungUndWechsel() {
        const QString pfad = dir_.filePath("kennung.db");
        QCOMPARE(dateien::kennung(pfad), QString());
        Database db;
        QString error;
        QVERIFY(db.open(pfad, &error, true));
        db.run("CREATE TABLE t (v INTEGER)");
        const QString vorher = dateien::kennung(pfad);
        QVERIFY(!vorher.isEmpty());
        Dateiwechsel wechselObjekt([&] { return pfad; }, 3600 * 1000);
        Dateiwechsel* wechsel = &wechselObjekt;
        QSignalSpy ersetzt(wechsel, &Dateiwechsel::ersetzt);
        for (int i = 0; i < 20; ++i) {
            Transaction t(db);
            db.run("INSERT INTO t VALUES (?)", {i});
            t.commit();
        }
        QTest::qWait(20);
        wechsel->pruefen();
        QCOMPARE(dateien::kennung(pfad), vorher);
        QCOMPARE(ersetzt.count(), 0);
        QVERIFY(dateien::kopieren(pfad, pfad + ".sich", &error));
        db.close();  // Windows replaces no file that is open
        QVERIFY(QFile::remove(pfad));
        QVERIFY(QFile::rename(pfad + ".sich", pfad));
        QVERIFY(dateien::kennung(pfad) != vorher);
        wechsel->pruefen();
        QCOMPARE(ersetzt.count(), 1);
    }

    void missingFileIsNotCreated() {
        Database db;
        QString error;
        const QString path = dir_.filePath("fehlt.db");
        QVERIFY(!db.open(path, &error));
        QVERIFY(error.contains(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!db.isOpen());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.select("SELECT 1"));
    }

    void garbageFileIsRefused() {
        const QString path = dir_.filePath("kaputt.db");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        Database db;
        QString error;
        QVERIFY(!db.open(path, &error));
        QVERIFY(error.contains(path));
        QVERIFY(!db.isOpen());
    }

    // Read-only and locked files are told apart; an engine error never shows its SQL.
    void readOnlyAndLockedFiles() {
        const QString path = dir_.filePath("sperre.db");
        Database db;
        QString error;
        QVERIFY(db.open(path, &error, true));
        db.run("CREATE TABLE t (a INTEGER)");
        QVERIFY(!db.schreibgeschuetzt());
        Database lesend;
        QVERIFY(lesend.open(path, &error, false, Database::Zugriff::NurLesen));
        QVERIFY(lesend.schreibgeschuetzt());
        try {
            lesend.run("INSERT INTO t VALUES (1)");
            QFAIL("a read-only file took a row");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains("schreibgeschützt"), qPrintable(e.message()));
            QVERIFY(!e.message().contains("INSERT"));
        }
        db.begin();
        db.run("INSERT INTO t VALUES (2)");  // holds the write lock
        Database zweites;
        QVERIFY(zweites.open(path, &error));
        QVERIFY(!zweites.schreibgeschuetzt());  // in use is not read-only
        try {
            zweites.run("INSERT INTO t VALUES (3)");
            QFAIL("a locked file took a row");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains("von einem anderen Programm benutzt"),
                     qPrintable(e.message()));
            QVERIFY(!e.message().contains("INSERT"));
        }
        db.rollback();
    }

    // A failure reads German first; the engine's own words follow as a line of their own.
    void meldungMitTreiberzeile() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("meldung.db"), &error, true));
        try {
            db.run("SELECT nichtda FROM sqlite_master");
            QFAIL("an unknown column was taken");
        } catch (const DatabaseError& e) {
            const QStringList zeilen = e.message().split(u'\n');
            QCOMPARE(zeilen.size(), 2);
            QVERIFY2(zeilen[0].startsWith("Die Datenbank \""), qPrintable(e.message()));
            QVERIFY2(zeilen[1].startsWith("Meldung des Datenbanktreibers: ") &&
                         zeilen[1].contains("nichtda"),
                     qPrintable(e.message()));
            QVERIFY(!e.wiederholbar() && !e.gesperrt());
        }
        QCOMPARE(treiberzeile("  "), QString());
    }

    void declaredTypesAndRows() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("typen.db"), &error, true));
        db.run("CREATE TABLE t (Name TEXT(50), Teiler SINGLE, Liegend YESNO, Datum DATE)");
        QCOMPARE(db.columns("T")[1].declaredType, QString("SINGLE"));  // names match without case
        QVERIFY(db.hasTable("t"));
        QVERIFY(!db.hasTable("u"));
        QCOMPARE(db.execute("INSERT INTO t VALUES (\"Anna\", 12.5, TRUE, Datevalue('05.12.2026'))"),
                 1);
        const SqlRows rows = db.select("SELECT * FROM t WHERE Liegend=TRUE AND Datum=#12/05/2026#");
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(rows.value(0, "NAME").toString(), QString("Anna"));
        QCOMPARE(rows.value(0, "Datum").toString(), QString("2026-12-05"));
        QVERIFY(!rows.value(0, "gibtsnicht").isValid());
        QVERIFY(!rows.value(5, "Name").isValid());
    }

    void quotedTextsCannotChangeAStatement() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("namen.db"), &error, true));
        db.run("CREATE TABLE Mitglieder (Nr INTEGER, Name TEXT)");
        const QStringList names = {"O'Brien",   "Sch\"utz", "x\" OR \"1\"=\"1",
                                   "50% Meier", "Star*",    "Müller"};
        int nr = 0;
        for (const QString& n : names) {
            db.execute("INSERT INTO Mitglieder (Nr, Name) VALUES (" + QString::number(++nr) + ", " +
                       sqldialect::quoted(n) + ")");
        }
        for (const QString& n : names) {
            const SqlRows exact =
                db.select("SELECT * FROM Mitglieder WHERE Name=" + sqldialect::quoted(n));
            QCOMPARE(exact.size(), std::size_t(1));
            QCOMPARE(exact.value(0, "Name").toString(), n);
            const SqlRows prefix =
                db.select("SELECT * FROM Mitglieder WHERE Name LIKE " + sqldialect::likePrefix(n));
            QCOMPARE(prefix.size(), std::size_t(1));
        }
        QCOMPARE(
            db.select("SELECT * FROM Mitglieder WHERE Name LIKE " + sqldialect::likePrefix("%"))
                .size(),
            std::size_t(0));
        QCOMPARE(db.select("SELECT * FROM Mitglieder WHERE Name LIKE \"*\"").size(),
                 names.size() + 0u);
    }

    // German order and a LIKE that ignores the case of umlauts, on an SQLite file.
    void deutscheOrdnung() {
        QCOMPARE(deutsch::namenOrdnen("SELECT * FROM Heute ORDER BY Name", false),
                 QString("SELECT * FROM Heute ORDER BY Name COLLATE DEUTSCH"));
        QCOMPARE(deutsch::namenOrdnen("SELECT a FROM t ORDER BY Best10 DESC, m.Name DESC", false),
                 QString("SELECT a FROM t ORDER BY Best10 DESC, m.Name COLLATE DEUTSCH DESC"));
        QCOMPARE(deutsch::namenOrdnen("SELECT Name FROM t ORDER BY Nr", false),
                 QString("SELECT Name FROM t ORDER BY Nr"));
        QCOMPARE(deutsch::namenOrdnen("SELECT 1 ORDER BY Name LIMIT 5", true),
                 QString("SELECT 1 ORDER BY CONVERT(Name USING utf8mb4) COLLATE "
                         "utf8mb4_unicode_ci LIMIT 5"));
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("ordnung.db"), &error, true));
        db.run("CREATE TABLE Mitglieder (Nr INTEGER, Name TEXT)");
        int nr = 0;
        for (const char* n : {"Zander", "anna klein", "Özdemir", "Äbel", "Ober", "ZANDER"})
            db.run("INSERT INTO Mitglieder VALUES (?, ?)", {++nr, QString::fromUtf8(n)});
        QStringList namen;
        for (const QVariantList& z : db.select("SELECT Name FROM Mitglieder ORDER BY Name").rows)
            namen << z[0].toString();
        QCOMPARE(namen, (QStringList{"Äbel", "anna klein", "Ober", "Özdemir", "ZANDER", "Zander"}));
        QCOMPARE(db.select("SELECT Nr FROM Mitglieder WHERE Name LIKE \"öz*\"").rows,
                 (std::vector<QVariantList>{{3}}));
        QCOMPARE(db.run("SELECT count(*) FROM Mitglieder WHERE Name LIKE 'ä_EL'").rows[0][0], 1);
        QCOMPARE(db.run("SELECT count(*) FROM Mitglieder WHERE Name LIKE 'z%'").rows[0][0], 2);
    }

    // Names of blanks, digits and plain letters take a short way past the collator; they
    // must come out as the collator orders them, in C++ and in a statement's ORDER BY.
    void deutscheOrdnungEinfacherNamen() {
        QCollator k(QLocale(QLocale::German, QLocale::Germany));
        k.setCaseSensitivity(Qt::CaseInsensitive);
        const auto erwartet = [&k](const QString& a, const QString& b) {
            const int r = k.compare(a, b);
            return r != 0 ? r : QString::compare(a, b, Qt::CaseSensitive);
        };
        const auto vorzeichen = [](int r) { return (r > 0) - (r < 0); };
        QRandomGenerator zufall(7);
        const QString zeichen = QStringLiteral(" 019aAbBmMzZ");
        QStringList namen;
        for (int i = 0; i < 400; ++i) {
            QString n;
            const int laenge = zufall.bounded(7);
            for (int j = 0; j < laenge; ++j)
                n += zeichen[zufall.bounded(static_cast<int>(zeichen.size()))];
            namen << n;
        }
        namen << "Mitglied 12" << "Mitglied 120" << "Mitglied 2" << "mitglied 12" << "Ärger"
              << "Arg" << "A-b" << "Ab" << "";
        for (const QString& a : namen)
            for (int j = 0; j < 20; ++j) {
                const QString& b = namen[zufall.bounded(static_cast<int>(namen.size()))];
                QVERIFY2(vorzeichen(deutsch::vergleichen(a, b)) == vorzeichen(erwartet(a, b)),
                         qPrintable(a + " / " + b));
            }
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("ordnung2.db"), &error, true));
        db.run("CREATE TABLE Mitglieder (Name TEXT)");
        for (const QString& n : namen)
            db.run("INSERT INTO Mitglieder VALUES (?)", {n});
        QStringList sortiert;
        for (const QVariantList& z : db.select("SELECT Name FROM Mitglieder ORDER BY Name").rows)
            sortiert << z[0].toString();
        std::stable_sort(namen.begin(), namen.end(),
                         [&](const QString& a, const QString& b) { return erwartet(a, b) < 0; });
        QCOMPARE(sortiert, namen);
    }

    // Values come back typed as the driver gives them, and a row read and written back is
    // the same row: an empty text stays empty, NULL stays NULL.
    void werteHinUndZurueck() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("werte.db"), &error, true));
        db.run("CREATE TABLE w (t TEXT, n INTEGER, r REAL, x, u TEXT)");
        db.run("INSERT INTO w VALUES ('', 5, 2.5, NULL, 'Ä ö')");
        const QVariantList z = db.run("SELECT t, n, r, x, u FROM w").rows.at(0);
        QVERIFY(!z[0].isNull() && !z[0].toString().isNull());
        QCOMPARE(z[1].typeId(), QMetaType::LongLong);
        QCOMPARE(z[2].typeId(), QMetaType::Double);
        QVERIFY(z[3].isNull());
        QCOMPARE(z[4].toString(), QString("Ä ö"));
        db.run("INSERT INTO w VALUES (?, ?, ?, ?, ?)", z);
        QCOMPARE(db.run("SELECT count(*) FROM w WHERE t = '' AND n = 5 AND r = 2.5 AND x IS NULL "
                        "AND u = 'Ä ö'")
                     .rows[0][0]
                     .toInt(),
                 2);
        db.run("DELETE FROM w");
        db.run("INSERT INTO w (t) VALUES (?)", {QString()});
        db.run("INSERT INTO w (t) VALUES (?)", {QString("")});
        db.run("INSERT INTO w (t, n) VALUES (?, ?)", {QVariant(), QVariant(true)});
        QCOMPARE(db.run("SELECT count(*) FROM w WHERE t IS NULL").rows[0][0].toInt(), 2);
        QCOMPARE(db.run("SELECT count(*) FROM w WHERE t = ''").rows[0][0].toInt(), 1);
        QCOMPARE(db.run("SELECT n FROM w WHERE n IS NOT NULL").rows[0][0].toInt(), 1);
        QCOMPARE(db.changedRows(), 0);
        db.run("UPDATE w SET n = 2");
        QCOMPARE(db.changedRows(), 3);
        // Too few values, and two statements at once, are refused with a reason.
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.run("INSERT INTO w (t, n) VALUES (?, ?)", {1}));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.run("DELETE FROM w; DELETE FROM w"));
        QCOMPARE(db.run("SELECT count(*) FROM w").rows[0][0].toInt(), 3);
    }

    // A listing shown again runs the statement it kept; its rows follow the data, and a
    // statement in the other date order is another statement.
    void dialektAnweisungenBehalten() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("behalten.db"), &error, true));
        db.run("CREATE TABLE t (Datum DATE, n INTEGER)");
        db.run("INSERT INTO t VALUES ('2026-03-04', 1), ('2026-04-03', 2)");
        const QString sql = "SELECT n FROM t WHERE Datum = #03/04/2026# ORDER BY n";
        QCOMPARE(db.select(sql).rows, (std::vector<QVariantList>{{1}}));
        QCOMPARE(db.select(sql, sqldialect::HashDateOrder::DayFirst).rows,
                 (std::vector<QVariantList>{{2}}));
        db.run("INSERT INTO t VALUES ('2026-03-04', 3)");
        QCOMPARE(db.select(sql).rows, (std::vector<QVariantList>{{1}, {3}}));
        // Many different statements: the kept ones are bounded, each still answers rightly.
        for (int i = 0; i < 100; ++i)
            QCOMPARE(db.select(QStringLiteral("SELECT %1 + n FROM t WHERE n = 2").arg(i)).rows[0][0]
                         .toInt(),
                     i + 2);
        QCOMPARE(db.select(sql).rows.size(), std::size_t(2));
        // The table changed under a kept statement: it is read as it is now.
        QCOMPARE(db.select("SELECT * FROM t WHERE n = 3").columns.size(), qsizetype(2));
        db.run("ALTER TABLE t ADD COLUMN m INTEGER");
        db.run("UPDATE t SET m = 10 * n");
        const SqlRows neu = db.select("SELECT * FROM t WHERE n = 3");
        QCOMPARE(neu.columns.size(), qsizetype(3));
        QCOMPARE(neu.rows[0][2].toInt(), 30);
        // A statement the translation refuses is refused every time.
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.select("SELECT 'offen"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.select("SELECT 'offen"));
    }

    // Texts that repeat over many rows come back as stored, also past the number of texts
    // a listing shares, and one changed by its reader leaves the other rows as they were.
    void wiederholteTexte() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("texte.db"), &error, true));
        db.run("CREATE TABLE t (n INTEGER, a TEXT, b TEXT)");
        {
            Transaction t(db);
            for (int i = 0; i < 6000; ++i) {
                db.run("INSERT INTO t VALUES (?, ?, ?)",
                       {i, QStringLiteral("Schütze %1").arg(i % 5000),
                        i % 3 == 0 ? QVariant() : QVariant(i % 3 == 1 ? QString("") : "Ä")});
            }
            t.commit();
        }
        // Read twice: the statement kept from the first run shares its texts in the second.
        const SqlRows erst = db.run("SELECT n, a, b FROM t ORDER BY n");
        SqlRows r = db.run("SELECT n, a, b FROM t ORDER BY n");
        QCOMPARE(r.size(), std::size_t(6000));
        QCOMPARE(r.rows, erst.rows);
        for (std::size_t i = 0; i < r.size(); ++i) {
            const QVariantList& z = r.rows[i];
            QCOMPARE(z[1].toString(), QStringLiteral("Schütze %1").arg(i % 5000));
            if (i % 3 == 0) {
                QVERIFY(z[2].isNull() || z[2].toString().isNull());
            } else {
                QVERIFY(!z[2].toString().isNull());
                QCOMPARE(z[2].toString(), i % 3 == 1 ? QString("") : QString("Ä"));
            }
        }
        QString erster = r.rows[0][1].toString();
        erster += "X";
        r.rows[0][1] = erster;
        QCOMPARE(r.rows[5000][1].toString(), QString("Schütze 0"));
    }

    // A table once found is not asked for again, until tables may have changed: a
    // statement of this connection that drops one, or one that fails.
    void tabellenGemerkt() {
        Database db, andere;
        QString error;
        const QString pfad = dir_.filePath("tabellen.db");
        QVERIFY(db.open(pfad, &error, true));
        QVERIFY(andere.open(pfad, &error));
        QVERIFY(!db.hasTable("Notiz"));
        db.run("CREATE TABLE Notiz (v INTEGER)");
        QVERIFY(db.hasTable("notiz"));
        db.execute("DROP TABLE Notiz");
        QVERIFY(!db.hasTable("Notiz"));
        db.run("CREATE TABLE Notiz (v INTEGER)");
        QVERIFY(db.hasTable("Notiz"));
        andere.run("DROP TABLE Notiz");
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.run("INSERT INTO Notiz VALUES (1)"));
        QVERIFY(!db.hasTable("Notiz"));
    }

    void transactionRollsBackUnlessCommitted() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("tx.db"), &error, true));
        db.run("CREATE TABLE t (v INTEGER)");
        db.run("INSERT INTO t VALUES (1)");
        try {
            Transaction t(db);
            db.run("DELETE FROM t");
            db.run("INSERT INTO t VALUES (2)");
            db.run("INSERT INTO gibtsnicht VALUES (3)");
            t.commit();
            QFAIL("Fehler nicht gemeldet");
        } catch (const DatabaseError& e) {
            QVERIFY(e.message().contains("gibtsnicht"));
        }
        QVERIFY(!db.inTransaction());
        const SqlRows rows = db.run("SELECT v FROM t");
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(rows.rows[0][0].toInt(), 1);
        {
            Transaction t(db);
            db.run("UPDATE t SET v = ?", {7});
            t.commit();
        }
        QCOMPARE(db.run("SELECT v FROM t").rows[0][0].toInt(), 7);
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
