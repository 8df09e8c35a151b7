#include "reports/Listen.h"

#include "core/Hauptfelder.h"
#include "core/Zahlen.h"
#include "platform/Database.h"
#include "platform/SqlDialect.h"

namespace listen {

Abfrage abend(const Hauptfelder& felder, Listenart art) {
    const bool letzte = art == Listenart::LetzteWoche;
    const QString text = letzte ? felder.nTagText() : felder.heuteText();
    const QDate datum = sqldialect::parseShortDate(text);
    if (!datum.isValid()) {
        return {
            {},
            QStringLiteral("Im Feld \"%1\" des Hauptfensters steht kein gültiges Datum: \"%2\".")
                .arg(letzte ? QStringLiteral("Nachschießen") : QStringLiteral("Heute"), text)};
    }
    // The date is written anew from what was read, so nothing typed reaches the statement.
    return {QStringLiteral("SELECT Name,Best10,Best20,Gesammt,Teiler,Punkte,Liegend FROM Heute "
                           "WHERE Datum  = DateValue('%1')")
                .arg(datum.toString(QStringLiteral("dd.MM.yyyy"))),
            {}};
}

Abfrage alles(const Hauptfelder& felder) {
    const QString text = felder.saisonText().trimmed();
    bool ok = false;
    const int jahr = text.toInt(&ok);
    if (!ok || jahr < 1 || jahr > 9999) {
        return {{},
                QStringLiteral("Im Feld \"Saison\" des Hauptfensters steht kein Jahr: \"%1\".")
                    .arg(text)};
    }
    return {QStringLiteral("SELECT Name,Best10,Best20,Gesammt,Teiler,Punkte,Datum,Anwesend FROM "
                           "Heute WHERE Jahr = %1")
                .arg(jahr),
            {}};
}

Abfrage schuetze(const Hauptfelder& felder) {
    const QString name = felder.sNameText();
    if (name.isEmpty() || name == QLatin1String("Kein Eintrag")) {
        return {{}, QStringLiteral("Bitte Schützennummer im Hauptformular angeben")};
    }
    return {QStringLiteral("SELECT Datum,Best10,Best20,Gesammt,Teiler,Punkte FROM Ergebnis WHERE "
                           "MitglNr = ") +
                formatNull(Zahlwert(felder.sNummerText())),
            {}};
}

QString sortiert(const QString& basis, const QString& sortierung) {
    if (!sortierung.isEmpty() && basis.contains(sortierung.left(4))) {
        return basis + QStringLiteral(" ORDER BY ") + sortierung;
    }
    return basis;
}

QString druckAbfrage(const QString& basis, const QString& sortierung, const QString& gezeigt) {
    if (basis.contains(QStringLiteral("BY ") + sortierung)) {
        return basis;
    }
    // A clause the listing has no column for ("Name" in a member's history) would make the
    // statement invalid: the listing is printed as it is shown.
    if (!basis.contains(sortierung.left(4))) {
        return gezeigt;
    }
    return basis + QStringLiteral(" ORDER BY ") + sortierung;
}

SqlRows lesen(Database& db, const QString& anweisung, bool mitSchluessel) {
    return db.select(mitSchluessel ? QString(anweisung).replace(QStringLiteral("SELECT "),
                                                                QStringLiteral("SELECT rowid,"))
                                   : anweisung);
}

}  // namespace listen
