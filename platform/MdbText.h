#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

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
