#pragma once

#include <QString>

class Drucker;
struct SqlRows;

// The member list: title, headings, one line a member (Nr, Name, Geburtstag, Strasse, Ort,
// Klasse), a new page at 270 mm. Prints the rows from `ab` to the end.
void mitgliederDrucken(Drucker& drucker, const SqlRows& mitglieder, std::size_t ab,
                       const QString& jetzt);
