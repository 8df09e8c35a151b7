#pragma once

#include <QString>

class Database;

// A member's name as the printouts show it: with "(" + the class designation + ")" when
// the classes are wanted and the member and the class are found, else as it is.
QString NameMitKlasse(Database& db, const QString& name, bool mitKlasse);
