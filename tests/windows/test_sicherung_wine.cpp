// Windows under Wine: a backup and its restore where the club file and the backup folder have
// names beyond Windows' 8-bit code page in them, as on a PC whose user is called Jürgen, and
// a restore that replaces the club file that is there.
#include <QtTest>

#include <QTemporaryDir>

#include "core/Schema.h"
#include "maintenance/Sicherungen.h"
#include "platform/Database.h"

namespace {

int mitglieder(const QString& datei) {
    Database db;
    QString fehler;
    if (!db.open(datei, &fehler)) {
        return -1;
    }
    return db.run("SELECT COUNT(*) FROM Mitglieder").rows.at(0).at(0).toInt();
}

}  // namespace

class TestSicherungWine : public QObject {
    Q_OBJECT
  private slots:
    void sichernUndZurueckholen() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString ordner = tmp.filePath(QStringLiteral("Jürgen Łódź"));
        QVERIFY(QDir().mkpath(ordner));
        const QString club = ordner + QStringLiteral("/Schützenverein.db");
        QString fehler;
        QVERIFY2(schema::neueVereinsdatenbank(club, &fehler), qPrintable(fehler));
        {
            Database db;
            QVERIFY2(db.open(club, &fehler), qPrintable(fehler));
            db.run("INSERT INTO Mitglieder (Nr, Name) VALUES (7, 'Schäfer Jürgen')");
        }
        sicherungen::Regel regel;
        regel.ordner = tmp.filePath(QStringLiteral("Sicherungen ä"));
        QVERIFY(QDir().mkpath(regel.ordner));
        const QDateTime jetzt(QDate(2026, 12, 7), QTime(21, 0));
        QString ziel;
        QCOMPARE(sicherungen::sichern(club, regel, jetzt, &ziel, &fehler),
                 sicherungen::Ergebnis::Gesichert);
        QVERIFY2(fehler.isEmpty(), qPrintable(fehler));
        QCOMPARE(mitglieder(ziel), 1);

        {
            Database db;
            QVERIFY(db.open(club, &fehler));
            db.run("DELETE FROM Mitglieder");
        }
        QCOMPARE(mitglieder(club), 0);
        QString vorher;
        QVERIFY2(sicherungen::zurueckholen(ziel, club, regel, jetzt.addSecs(60), &vorher, &fehler),
                 qPrintable(fehler));
        QCOMPARE(mitglieder(club), 1);
        // What was there before the restore is kept as a backup of its own.
        QVERIFY(!vorher.isEmpty());
        QCOMPARE(mitglieder(vorher), 0);
    }
};

QTEST_MAIN(TestSicherungWine)
#include "test_sicherung_wine.moc"
