#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/Database.h"

// The club's classes (table Klassen): number 1 to 9, designation, age range, sex.
namespace klassen {

// Why a value may not stand in a field of Klassen ("" when it may): the number 1 to 9,
// ages 0 to 130, the sex "m", "w" or "mw".
QString feldPruefen(const QString& feld, const QVariant& wert);

// Classes whose age ranges overlap for the same sex, each pair in words. The first class
// of the table wins in the class assignment, so an overlap is most often a slip.
QStringList ueberschneidungen(const SqlRows& klassen);  // columns Klasse, Bez, UAlter, ...

}  // namespace klassen
