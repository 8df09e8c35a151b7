#pragma once

#include <QString>
#include <QStringList>

class Lesequelle;

// What the import window's options choose from the range database.
struct Importauswahl {
    enum class Datum { Alles, Jahr, Tag };
    enum class Disziplin { Alle, Wertung, Eine };

    Datum datum = Datum::Alles;
    QString tag;   // Datum_txt, day first ("05.03.2024")
    QString jahr;  // Jahr_txt
    bool nurListe = false;
    QString liste;  // Listen_Combo
    Disziplin disziplin = Disziplin::Alle;
    QString disziplinName;  // Disziplin_Combo
};

// The range database's text literal: quotes doubled and backslashes escaped, control
// characters dropped, so that no name can end the literal early on either setting of the
// server's backslash handling.
QString standLiteral(const QString& text);

// The SELECT on Scheiben for a choice. A day or year that is none gives "" and the German
// reason in *fehler.
QString auswahlSql(const Importauswahl& auswahl, QString* fehler);

// What the range offers to choose from: its start lists and its disciplines, each once, in
// the range's order. Throws DatabaseError.
QStringList starterlisten(Lesequelle& stand);
QStringList disziplinen(Lesequelle& stand);

// The range database still answers on this connection (a server restarted since does not).
bool standAntwortet(Lesequelle& stand);
