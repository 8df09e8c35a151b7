#pragma once

#include <QString>

class Ini;

// This range PC as the notes of stored evenings and the questions about them name it: the
// PC's name and the stand's own name, so that two stands on one PC (or two PCs of one name)
// are told apart.
namespace platz {

inline const QString kAbschnitt = QStringLiteral("PLATZ");

// "<PC name> (Stand <name>)"; the PC's name alone until the stand is known.
QString name();
// The stand's name from the settings ([PLATZ] NAME), else its machine's port ("COM1").
void ausEinstellungen(Ini& ini);
void setzeStand(const QString& stand);

}  // namespace platz
