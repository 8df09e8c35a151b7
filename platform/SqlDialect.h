#pragma once

#include <QDate>
#include <QString>

// The program builds its SQL in the dialect of the old desktop database engine, and some
// of those texts are shown to the user. This turns such a text into SQLite's dialect:
//   Datevalue('05.12.2026')   -> '2026-12-05'   (German short date, day first)
//   #12/05/2026#              -> '2026-12-05'   (month first unless asked otherwise)
//   "text"                    -> 'text'         (double-quoted string literals)
//   LIKE "Mü*"                -> LIKE 'Mü%'     (* and ? wildcards; [*] [?] [#] [[] literal)
//   Feld=TRUE / Feld=FALSE    -> Feld<>0 / Feld=0 (yes/no fields, whatever non-zero they hold)
namespace sqldialect {

enum class HashDateOrder { MonthFirst, DayFirst };

struct Translation {
    QString sql;
    QString error;  // German, empty on success
    bool ok() const { return error.isEmpty(); }
};

Translation translate(const QString& dialectSql,
                      HashDateOrder hashOrder = HashDateOrder::MonthFirst);

// A string literal of the dialect holding exactly `text` (but for NUL characters, which no
// statement can carry).
QString quoted(const QString& text);

// A LIKE pattern literal of the dialect for "starts with `text`": wildcard characters in
// the text match only themselves.
QString likePrefix(const QString& text);

// German short date ("5.12.2026", "05.12.26") or ISO date; invalid QDate when unreadable.
QDate parseShortDate(const QString& text);

// The engine's storage form of a date: "YYYY-MM-DD".
QString isoDate(const QDate& date);

}  // namespace sqldialect
