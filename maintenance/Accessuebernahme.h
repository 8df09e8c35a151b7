#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class AccessLeser;

// Reading mdbtools' texts.
namespace mdbtext {

struct Spalte {
    QString name;
    QString typ;  // as Access names it: "Long Integer", "Text (50)", "Boolean", ...
};

// The fields of a table from `mdb-schema ... access` ("CREATE TABLE [name] ( [field] type, ...").
std::vector<Spalte> spalten(const QString& schema);

// The rows of `mdb-export`'s CSV, header first in *kopf. An unquoted empty field is NULL
// (an invalid QVariant), a quoted one an empty text; quoted fields may hold line breaks.
std::vector<QVariantList> zeilen(const QByteArray& csv, QStringList* kopf);

// The club database's declared type for an Access type. Currency and Numeric are DOUBLE
// here; a column whose values need more than a double's 15 digits is made TEXT instead.
QString deklarierterTyp(const QString& accessTyp);

// A decimal text a double gives back exactly: at most 15 significant digits.
bool passtInDouble(const QString& zahl);

// A field's text as the declared type stores it: yes/no as 1 or 0, dates as ISO dates
// (with the time only when there is one, never with `nurTag`), numbers as numbers, binary
// from hex. A text that does not fit the type is kept as it is rather than lost.
QVariant wert(const QVariant& text, const QString& deklariert, bool nurTag = false);

}  // namespace mdbtext

// What was taken over: one line per table with its rows.
struct Uebernahmebericht {
    QStringList tabellen;     // "Mitglieder: 120 Zeilen"
    QStringList nichtLesbar;  // what mdbtools could not give, table by table
    qint64 zeilen = 0;
    bool vereinsdatenbank = false;
    QString text(const QString& alt, const QString& neu) const;
};

// Takes every table of an Access file into a new SQLite file. A file with the club's
// tables gets the club schema (declared types, the view Heute, the indexes); tables the
// schema does not know are taken over as they are. The new file appears only when
// everything is in it; a failure leaves nothing at `neu`.
class Accessuebernahme {
  public:
    using Fortschritt = std::function<void(int fertig, int gesamt, const QString& tabelle)>;

    Accessuebernahme(AccessLeser& leser, Fortschritt fortschritt = {});

    // False with the German reason. Throws nothing.
    bool uebernehmen(const QString& neu, Uebernahmebericht* bericht, QString* fehler);

  private:
    AccessLeser& leser_;
    Fortschritt fortschritt_;
};

// The whole course for a user: the file checked, a safety copy "Sicherung_<name> <time>"
// in the backups folder (the rule's, or `sicherungsordner`), then the takeover. Nothing is
// written beside the old file; a failure removes the copy again. The report or the German
// reason in *text.
bool accessDateiUebernehmen(const QString& alt, const QString& neu,
                            const Accessuebernahme::Fortschritt& fortschritt, QString* text,
                            const QString& sicherungsordner = {});

// The file an Access file is taken over into: beside it, ".db" instead of ".mdb".
QString uebernahmeZiel(const QString& mdb);
