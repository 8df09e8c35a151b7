#pragma once

#include <QDate>
#include <QString>

#include <array>

struct Abendzustand;
class Ini;

// Section and key names of wettk.ini and the values the program falls back to.
namespace ini {
inline const QString kWertmaschine = QStringLiteral("WERTMASCHINE");
inline const QString kWertung = QStringLiteral("WERTUNG");
inline const QString kExport = QStringLiteral("EXPORT");
inline const QString kName = QStringLiteral("NAME");
inline const QString kComport = QStringLiteral("COMPORT");
inline const QString kSpeed = QStringLiteral("SPEED");
inline const QString kPunktScheiben = QStringLiteral("PUNKT-SCHEIBEN");
inline const QString kTeiler = QStringLiteral("TEILER");
inline const QString kMonat = QStringLiteral("MONAT");
inline const QString kFile = QStringLiteral("FILE");
inline const QString kDelimiter = QStringLiteral("DELIMITER");
inline const QString kDatei = QStringLiteral("DATEI");
inline const QString kFarbe = QStringLiteral("FARBE");
inline const QString kTag = QStringLiteral("TAG");

inline const QString kMaschineRm3 = QStringLiteral("RMIII");
inline const QString kMaschineRm3Win = QStringLiteral("RMIII_WIN");
inline const QString kMaschineSam = QStringLiteral("SAM");

// "DB1" ... "DB4" for slot 0 ... 3.
QString slotSection(int slot);

// Default colours of the four database slots.
extern const std::array<QString, 4> kStandardFarben;
}  // namespace ini

// The start-up reading of the settings, one function per step so that the main window can
// run them in its own order.
namespace startup {

// WERTMASCHINE/NAME into MachineName, normalised: anything but "SAM" or "RMIII_WIN"
// becomes "RMIII" and is written back. Returns true when the name was empty, so that the
// settings window must be opened.
bool leseMaschine(Ini& ini, Abendzustand& zustand);

// WERTUNG/PUNKT-SCHEIBEN into Punktwertung.
void lesePunktwertung(const Ini& ini, Abendzustand& zustand);

// WERTUNG/MONAT into Saisonversatz (minus the months).
void leseSaisonversatz(const Ini& ini, Abendzustand& zustand);

// Writes the default colour of every slot whose FARBE reads as 0.
void schreibeFarbStandards(Ini& ini);

// EXPORT/FILE and EXPORT/DELIMITER: empty values get the default, which is written.
void leseExport(Ini& ini, Abendzustand& zustand);

// WERTUNG/TEILER: only "1", "10" and "60" are taken; anything else leaves it empty.
void leseTeilerwertung(const Ini& ini, Abendzustand& zustand);

// All of the above in the file's own order. Returns true when the settings window must
// be opened.
bool leseAlles(Ini& ini, Abendzustand& zustand);

// Season year of a day: the calendar year of the day moved by the offset in months.
int saisonJahr(const QDate& tag, int saisonversatz);

}  // namespace startup
