#pragma once

#include <QString>

// "Über Zielkunst": the version and where the program keeps its settings and the club
// database that is open.
QString ueberText(const QString& einstellungen, const QString& datenbank);

// The program's version ("4.0.0").
QString programmVersion();
