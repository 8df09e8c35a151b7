#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <vector>

class Database;

// The log of corrections: every change that replaces or deletes a stored value of Ergebnis,
// Einzelergebnisse or Mitglieder, written in the same transaction as the change itself, so
// that a disputed result can be shown as it was. The program never edits it.
namespace aenderungen {

inline const QString kTabelle = QStringLiteral("Aenderungen");

struct Eintrag {
    QString tabelle;  // Ergebnis, Einzelergebnisse, Mitglieder
    QVariant nr;      // member number
    QString datum;    // evening (ISO), "" for members
    QString feld;     // the field, "Schüsse" for the summary of shots, "*" for a whole row
    QString alt;
    QString neu;
    QString anlass;  // "Neu gespeichert", "Tabellenansicht", "Gelöscht", ...
};

// A stored value as the log keeps it: numbers without a double's noise, "" for NULL.
QString text(const QVariant& wert);

// Whether two stored values are the same value (numbers compared as numbers).
bool gleich(const QVariant& a, const QVariant& b);

// Writes the entries with time, place (the PC's name) and user (the system login). Inside
// the caller's transaction; throws DatabaseError. `schema` names an attached file ("ziel").
void schreiben(Database& db, const std::vector<Eintrag>& eintraege, const QDateTime& jetzt,
               const QString& schema = {});

// The statements that make the log's table and its index.
QStringList anlegen(const QString& schema = {});

// A whole row in one line ("S1 91, S2 93, ..."), for a row that is deleted.
QString zeile(const QStringList& spalten, const QVariantList& werte);

}  // namespace aenderungen
