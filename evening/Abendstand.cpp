#include "evening/Abendstand.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QSysInfo>

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
    db.run(kZeitNeu, {nr, datum, jetzt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                      QSysInfo::machineHostName().left(64)});
}
