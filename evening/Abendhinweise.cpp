#include "evening/Abendhinweise.h"

#include "core/Zahlen.h"
#include "evening/Felder.h"
#include "platform/Database.h"
#include "platform/SqlDialect.h"

QString anderesDatumFrage(const Felder& f) {
    return QStringLiteral(
               "Gewählt ist %1 am %2, nicht heute.\n"
               "Soll der Abend unter dem %2 gespeichert werden?\n"
               "„Nein“ speichert nichts; die Ringe bleiben stehen. Für heute erst „Heute“ wählen.")
        .arg(f.Option1() ? QStringLiteral("Nachschießen") : QStringLiteral("Vorschießen"),
             f.datumText());
}

QString punkteHinweis(int klasse) {
    if (klasse < 1) {
        return QStringLiteral(
            "Für Mitglieder ohne Klasse sind keine Punkte eingetragen: sie "
            "bekommen keine Ring- und Teilerpunkte. „Klassen berechnen“ unter "
            "„Mitglieder“ gibt jedem Mitglied seine Klasse.");
    }
    return QStringLiteral(
               "Für Klasse %1 sind keine Punkte eingetragen: die Abende dieser Klasse "
               "bekommen keine Ring- und Teilerpunkte. Die Punktetabellen öffnet "
               "„Mitglieder“ → „Punktetabellen …“.")
        .arg(klasse);
}

QString datumGewechseltFrage(Database& db, int nr, const QString& name, const QDate& tag) {
    QString gesamt;
    try {
        const SqlRows r =
            db.run(QStringLiteral("SELECT Gesammt FROM Ergebnis WHERE MitglNr = ? AND Datum = ?"),
                   {nr, sqldialect::isoDate(tag)});
        if (!r.empty() && !r.rows[0][0].isNull()) {
            gesamt = QStringLiteral(" (Gesamt %1)").arg(zahlText(r.rows[0][0].toDouble()));
        }
    } catch (const DatabaseError&) {
    }
    return QStringLiteral(
               "Für Nummer %1 (%2) ist am %3 schon ein Abend gespeichert%4.\n\n"
               "Soll er durch den Abend auf dem Bildschirm ersetzt werden?\n"
               "„Nein“ speichert nichts; die Ringe bleiben stehen.")
        .arg(nr)
        .arg(name, tag.toString(QStringLiteral("dd.MM.yyyy")), gesamt);
}
