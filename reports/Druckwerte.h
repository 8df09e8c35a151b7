#pragma once

#include <QString>

#include <functional>

class Drucker;
struct SqlRows;

// What the printouts make of a row's fields.
namespace druck {

using Wert = std::function<QString(const SqlRows&, std::size_t)>;

double zahl(const SqlRows& z, std::size_t r, const char* feld);
Wert raute(const char* feld);     // "#": whole number, nothing for 0
Wert klartext(const char* feld);  // plain number text with its leading blank
Wert text(const char* feld);      // as stored
// A Teiler above 800 is no Teiler worth printing: "-".
QString teiler(const SqlRows& z, std::size_t r);
// `Datum`, stored as ISO text, as the short date.
QString datum(const SqlRows& z, std::size_t r);
QString kurzesDatum(const QString& iso);

// Positions are whole millimetres, halves to the even number.
double mm(double y);

constexpr double kRechterRand = 190;  // where the ruled lines end
// A title in the given size; one longer than the page is printed smaller rather than cut off.
void titel(Drucker& d, double punkte, double x, double y, const QString& text);

}  // namespace druck
