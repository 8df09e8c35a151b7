#include "evening/Abendstand.h"

#include <QCryptographicHash>
#include <QDateTime>

#include "core/Platz.h"

#include "platform/Database.h"

namespace {
const QString kErgebnis =
    QStringLiteral("SELECT * FROM Ergebnis WHERE MitglNr = ? AND Datum = ? ORDER BY rowid");
const QString kSchuesse = QStringLiteral(
    "SELECT Schuss, Ring, Teiler, X, Y FROM Einzelergebnisse WHERE MitglNr = ? AND Datum = ? "
    "ORDER BY Schuss, Ring, Teiler, X, Y");
const QString kZeitLesen =
    QStringLiteral("SELECT Zeit, Platz FROM Speicherzeiten WHERE MitglNr = ? AND Datum = ?");
const QString kZeitLoeschen =
    QStringLiteral("DELETE FROM Speicherzeiten WHERE MitglNr = ? AND Datum = ?");
const QString kZeitNeu =
    QStringLiteral("INSERT INTO Speicherzeiten (MitglNr, Datum, Zeit, Platz) VALUES (?, ?, ?, ?)");

void hinzu(QCryptographicHash& h, const SqlRows& rows) {
    for (const QVariantList& zeile : rows.rows) {
        for (const QVariant& v : zeile) {
            h.addData(v.isNull() ? QByteArrayView("\x01N") : QByteArrayView(v.toString().toUtf8()));
            h.addData(QByteArrayView("\x1f"));
        }
        h.addData(QByteArrayView("\x1e"));
    }
}
}  // namespace

QByteArray abendFingerabdruck(Database& db, int nr, const QString& datum) {
    const SqlRows ergebnis = db.run(kErgebnis, {nr, datum});
    const SqlRows schuesse = db.run(kSchuesse, {nr, datum});
    if (ergebnis.empty() && schuesse.empty()) {
        return {};
    }
    QCryptographicHash h(QCryptographicHash::Sha256);
    hinzu(h, ergebnis);
    h.addData(QByteArrayView("\x1d"));
    hinzu(h, schuesse);
    return h.result();
}

std::optional<Speicherzeit> speicherzeitLesen(Database& db, int nr, const QString& datum) {
    if (!db.hasTable(QStringLiteral("Speicherzeiten"))) {
        return std::nullopt;
    }
    const SqlRows r = db.run(kZeitLesen, {nr, datum});
    if (r.empty()) {
        return std::nullopt;
    }
    return Speicherzeit{r.rows[0][0].toString(), r.rows[0][1].toString()};
}

void speicherzeitSchreiben(Database& db, int nr, const QString& datum, const QDateTime& jetzt) {
    if (!db.hasTable(QStringLiteral("Speicherzeiten"))) {
        return;  // a file that could not get the table (read-only until now): no note
    }
    db.run(kZeitLoeschen, {nr, datum});
    db.run(kZeitNeu,
           {nr, datum, jetzt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), platz::name()});
}

bool ergebnisVorhanden(Database& db, int nr, const QString& datum) {
    return !db.run(QStringLiteral("SELECT 1 FROM Ergebnis WHERE MitglNr = ? AND Datum = ? LIMIT 1"),
                   {nr, datum})
                .empty();
}

QString konfliktFrage(const AbendAnderswoGespeichert& k, const QString& name,
                      const QString& datumText) {
    const QString abend =
        QStringLiteral("Der Abend von Nummer %1 (%2) am %3").arg(k.nr()).arg(name, datumText);
    if (k.geloescht()) {
        return abend +
               QStringLiteral(
                   " wurde gelöscht, nachdem dieser Platz ihn geladen hatte (in der "
                   "Tabellenansicht, der Auswertung oder an einem anderen Platz).\n\n"
                   "Soll der Abend dieses Platzes trotzdem gespeichert werden?\n"
                   "„Nein“ zeigt, was jetzt gespeichert ist: einen leeren Abend; die Ringe dieses "
                   "Platzes werden dann nicht gespeichert.");
    }
    QString was;
    if (k.wann()) {
        const QDateTime zeit = QDateTime::fromString(k.wann()->zeit, Qt::ISODate);
        const QString wann = QStringLiteral("am %1 um %2 Uhr")
                                 .arg(zeit.date().toString(QStringLiteral("dd.MM.yyyy")),
                                      zeit.time().toString(QStringLiteral("HH:mm:ss")));
        if (k.wann()->platz == platz::name()) {
            // Our own note: what changed it since was something that leaves none.
            was = QStringLiteral(
                      " wurde geändert, nachdem dieser Platz ihn geladen hatte (zuletzt hier "
                      "gespeichert %1; danach in der Tabellenansicht, der Auswertung oder durch "
                      "den Import geändert)")
                      .arg(wann);
        } else {
            was =
                QStringLiteral(" wurde inzwischen an einem anderen Platz gespeichert (%1 an „%2“)")
                    .arg(wann, k.wann()->platz);
        }
    } else {
        was = QStringLiteral(
            " wurde geändert, nachdem dieser Platz ihn geladen hatte (an einem anderen Platz, in "
            "der Tabellenansicht, der Auswertung oder durch den Import)");
    }
    return abend + was +
           QStringLiteral(
               ".\n\n"
               "Soll der Abend dieses Platzes den jetzt gespeicherten ersetzen?\n"
               "„Nein“ lädt den jetzt gespeicherten Abend; die Ringe dieses Platzes werden dann "
               "nicht gespeichert.");
}
