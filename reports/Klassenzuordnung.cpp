#include "reports/Klassenzuordnung.h"

#include <QDateTime>

#include "core/Aenderungen.h"
#include "core/Zahlen.h"
#include "platform/Database.h"

int monateBis(const QDate& geburtstag, const QDate& stichtag) {
    return (stichtag.year() - geburtstag.year()) * 12 + stichtag.month() - geburtstag.month();
}

int klassenAlter(int monate) {
    return (monate - 1) / 12 + 1;  // the remainder is dropped, towards zero
}

QDate stichtag(const QDate& abend, int saisonversatz) {
    return QDate(abend.addMonths(saisonversatz).year(), 10, 1);
}

Klassenzuordnung klassenBerechnen(Database& db, const QDate& stich, const QString& ordnung,
                                  const QDateTime& jetzt) {
    Klassenzuordnung ergebnis;
    std::vector<aenderungen::Eintrag> log;
    Transaction t(db);
    const SqlRows mitglieder = db.run(
        QStringLiteral("SELECT rowid, Name, Geburtstag, Geschlecht, Nr, Klasse FROM Mitglieder "
                       "ORDER BY ") +
        (ordnung == QLatin1String("Nr")     ? QStringLiteral("Nr")
         : ordnung == QLatin1String("Name") ? QStringLiteral("Name")
                                            : QStringLiteral("rowid")));
    for (const QVariantList& m : mitglieder.rows) {
        const QString name = m[1].toString();
        const QDate geburtstag = QDate::fromString(m[2].toString().left(10), Qt::ISODate);
        if (!geburtstag.isValid()) {
            ergebnis.meldungen
                << QStringLiteral("Geburtstag von %1 fehlt; die Klasse bleibt.").arg(name);
            continue;
        }
        int alter = klassenAlter(monateBis(geburtstag, stich));
        if (alter < 5) {
            ergebnis.meldungen << QStringLiteral("Geburtstag von ") + name + u'(' +
                                      geburtstag.toString(QStringLiteral("dd.MM.yyyy")) +
                                      QStringLiteral(") ist vermutlich falsch");
            alter = 5;
        }
        QString geschlecht = m[3].toString();
        if (geschlecht != QLatin1String("m") && geschlecht != QLatin1String("w")) {
            ergebnis.meldungen << QStringLiteral("Geschlecht von ") + name + u'(' + geschlecht +
                                      QStringLiteral(") ist vermutlich falsch");
            geschlecht = QStringLiteral("m");
        }
        // One statement for every member, prepared once: age and sex are bound.
        const SqlRows klasse =
            db.run(QStringLiteral("SELECT * FROM Klassen WHERE UAlter <= ? AND OAlter >= ? AND "
                                  "Geschlecht LIKE ?"),
                   {alter, alter, u'%' + geschlecht + u'%'});
        if (klasse.empty()) {
            ergebnis.meldungen << QStringLiteral("Keine Klasse zu ") + name +
                                      QStringLiteral(" gefunden");
            continue;
        }
        const QVariant neu = klasse.value(0, QStringLiteral("Klasse"));
        db.run(QStringLiteral("UPDATE Mitglieder SET Klasse = ? WHERE rowid = ?"), {neu, m[0]});
        if (!aenderungen::gleich(m[5], neu)) {
            log.push_back({QStringLiteral("Mitglieder"), m[4], QString(), QStringLiteral("Klasse"),
                           aenderungen::text(m[5]), aenderungen::text(neu),
                           QStringLiteral("Klassen berechnet")});
        }
        ++ergebnis.zugeordnet;
    }
    aenderungen::schreiben(db, log, jetzt);
    t.commit();
    return ergebnis;
}
