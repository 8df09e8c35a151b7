#pragma once

#include <QString>

#include "reports/Listen.h"

class Drucker;
struct Druckkopf;
struct SqlRows;

// The listing of the log of corrections: newest first, narrowed to a member and to the days
// the changes were made on.
namespace aenderungsliste {

struct Filter {
    QString nr;   // member number as typed, "" for all
    QString von;  // "dd.mm.yyyy" as typed, "" for no limit
    QString bis;
};

// The listing's statement; the typed values are checked first and only the program's own
// forms of them (a whole number, ISO dates) reach the statement.
Abfrage abfrage(const Filter& filter);

// Lays the listing out: a line with when, where, who, member, evening, field and cause, and
// below it what the field held before and after, wrapped to the page. Returns the changes
// printed.
int drucken(Drucker& d, const SqlRows& zeilen, const Druckkopf& kopf, const Filter& filter);

}  // namespace aenderungsliste
