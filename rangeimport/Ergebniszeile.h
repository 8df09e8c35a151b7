#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>

#include "platform/Database.h"

// The columns of a range result that its text line shows, in this order.
extern const QStringList kZeilenSpalten;

// One value of a range row as the logs show it: numbers with a leading blank when not
// negative, dates day first, texts as they are, NULL as nothing.
QString feldText(const QVariant& wert);

// The time stamp of a range row; invalid when it is missing or no time.
QDateTime zeitstempel(const QVariant& wert);

// The text line of a range result: the columns above separated by ",", followed by the
// day of Zeitstempel in parentheses.
QString ergebnisZeile(const SqlRows& rows, std::size_t zeile);

// A number of a range row, or nothing when it is missing or no finite number.
bool standZahl(const QVariant& v, double* out);

// The ScheibenID of a range row: a whole number that a double and the range's statements
// carry exactly. Anything else is no ScheibenID.
bool scheibenId(const QVariant& v, double* out);

// The statement for the series of a range result (its ScheibenID from scheibenId above).
QString serienAbfrage(double scheibenId);

// The series 1..6 of a range result from its Serien rows: the sums for the points, and
// the values stored (NULL for a series the range lacks). Rows whose series is no number
// from 1 to 6 or whose ring is no number are passed over. Throws ZahlUeberlauf for a ring
// beyond what the club database stores.
struct Standserien {
    std::array<std::int16_t, 6> summen{};
    std::array<QVariant, 6> werte;
};
Standserien standserien(const SqlRows& serien);
