#include "tests/support/TestDaten.h"

#include <QRegularExpression>
#include <QStringList>

#include "core/Schema.h"
#include "tests/support/MariaDbServer.h"

#include <memory>

bool TestDaten::aufServer() {
    return qEnvironmentVariable("ZK_DB_ENGINE") == QLatin1String("mariadb");
}

// One server for the whole test program, stopped when the program ends.
MariaDbServer* TestDaten::server() {
    static std::unique_ptr<MariaDbServer> s = [] {
        auto neu = std::make_unique<MariaDbServer>();
        if (!neu->starten()) {
            qFatal("MariaDB-Server startet nicht: %s", qPrintable(neu->fehler()));
        }
        return neu;
    }();
    return s.get();
}

QString TestDaten::leereServerdatenbank() {
    return server()->vereinsdatenbank();
}

TestDaten::TestDaten() {
    if (aufServer()) {
        adresse_ = server()->vereinsdatenbank();
        if (adresse_.isEmpty()) {
            qFatal("Keine Datenbank auf dem Server: %s", qPrintable(server()->fehler()));
        }
    }
    QString fehler;
    ok_ = dir_.isValid() && schema::neueVereinsdatenbank(dbPfad(), &fehler) &&
          db_.open(dbPfad(), &fehler);
    if (!ok_) {
        qWarning("TestDaten: %s", qPrintable(fehler));
    }
}

void TestDaten::mitglied(int nr, const QString& name, int klasse) {
    db_.run(QStringLiteral("INSERT INTO Mitglieder (Nr, Name, Klasse) VALUES (?, ?, ?)"),
            {nr, name, klasse});
}

namespace {
void punkteZeile(Database& db, const QString& tabelle, const QString& grenze, double wert,
                 double punkte, std::initializer_list<int> klassen) {
    QStringList spalten{grenze, QStringLiteral("Punkte")};
    QVariantList werte{wert, punkte};
    for (int k : klassen) {
        spalten << QStringLiteral("Klasse%1").arg(k);
        werte << 1;
    }
    QStringList platzhalter;
    for (int i = 0; i < spalten.size(); ++i)
        platzhalter << QStringLiteral("?");
    db.run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
               .arg(tabelle, spalten.join(u','), platzhalter.join(u',')),
           werte);
}
}  // namespace

void TestDaten::ringeZeile(double uRinge, double punkte, std::initializer_list<int> klassen) {
    punkteZeile(db_, QStringLiteral("Ringe"), QStringLiteral("URinge"), uRinge, punkte, klassen);
}

void TestDaten::teilerZeile(double oTeiler, double punkte, std::initializer_list<int> klassen) {
    punkteZeile(db_, QStringLiteral("Teiler"), QStringLiteral("OTeiler"), oTeiler, punkte, klassen);
}

void TestDaten::anwesenheitsPunkte(int punkte) {
    db_.run(QStringLiteral("UPDATE Sonder SET AnwPunkte = ?"), {punkte});
}

void TestDaten::ergebnis(const Ergebnis& e) {
    db_.run(QStringLiteral("INSERT INTO Ergebnis (MitglNr, Datum, Best10, Best20, Gesammt, "
                           "Teiler, Punkte, Jahr, Anwesend, Liegend) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {e.nr, e.datum, e.best10, e.best20, e.gesammt, e.teiler, e.punkte, e.jahr,
             e.anwesend ? 1 : 0, e.liegend ? 1 : 0});
}

void TestDaten::ausloeser(const QString& sqlite) {
    if (!aufServer()) {
        db_.run(sqlite);
        return;
    }
    static const QRegularExpression form(QStringLiteral(
        R"(^CREATE TRIGGER (\w+) BEFORE (\w+) ON (\w+)(?: WHEN (.*?))? BEGIN SELECT )"
        R"(RAISE\(ABORT, '(.*)'\); END$)"));
    QString sql = sqlite;
    if (const auto m = form.match(sqlite); m.hasMatch()) {
        const QString signal =
            QStringLiteral("SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = '%1'").arg(m.captured(5));
        sql = QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW ")
                  .arg(m.captured(1), m.captured(2), m.captured(3)) +
              (m.captured(4).isEmpty()
                   ? signal
                   : QStringLiteral("IF %1 THEN %2; END IF").arg(m.captured(4), signal));
    }
    // The client would end the trigger at its first ";".
    sql = QStringLiteral("DELIMITER //\n") + sql + QStringLiteral("//\nDELIMITER ;\n");
    if (!server()->sql(sql, adresse_.section(u'/', -1))) {
        qFatal("Auslöser: %s", qPrintable(server()->fehler()));
    }
}
