#pragma once

#include <QChar>
#include <QString>

#include <cstdint>
#include <stdexcept>

// Reading numbers out of texts and writing them back, the way every window does it.
// Texts are the working variables of the windows, so these rules decide what an
// evening's numbers are.

// A value that does not fit a 16-bit integer. The action that met it stops; the
// message names the value.
class ZahlUeberlauf : public std::runtime_error {
  public:
    explicit ZahlUeberlauf(double value);
    double value() const { return value_; }
    QString message() const;  // German

  private:
    double value_;
};

// Leading number of a text: blanks, tabs and line breaks skipped, optional sign, digits,
// optional "." and digits, optional exponent; "&H" followed by hexadecimal digits; 0 when
// there is no number. A comma is never a decimal separator here.
double Zahlwert(const QString& text);

// The first comma read as a decimal point: "12,37" -> 12.37.
float KommaZuPunkt(const QString& text);

// Whole part plus one tenth of the single digit after the first comma: "12,37" -> 12.3,
// "-1,5" -> -0.5, "8.5" -> 8.5.
float ZehntelWert(const QString& text);

// Check character: exclusive-or of the Windows-1252 bytes of the text, raised by 32 when
// below 32.
QChar Pruefzeichen(const QString& text);

// Rounds half to even and checks the 16-bit range; throws ZahlUeberlauf outside it.
std::int16_t zuInt16(double value);
// The same for 32 bits (the "long" fields of the club database).
std::int32_t zuInt32(double value);
// Keeps the low 16 bits of the whole part, as a setting read from the file is taken.
std::int16_t abgeschnittenInt16(double value);

// Rounds half to even to a whole number (no range check).
double rundeGerade(double value);

// Display formats. Rounding for display is half away from zero on the decimal value.
QString formatRaute(double value);      // "#": whole number, "" for 0
QString formatNull(double value);       // "0": whole number
QString formatNullKomma(double value);  // "0.0": one decimal, decimal comma
QString formatTeiler(double value);     // "###.#": up to one decimal, decimal comma

// Plain number-to-text: shortest form with the decimal comma. `signifikant` is 7 for
// single-precision values, 15 for the others.
QString zahlText(double value, int signifikant = 15);
// The form with a leading blank for values >= 0 and a point as decimal separator.
QString zahlTextBlank(double value, int signifikant = 15);
// A single-precision value as its seven significant digits read back:
// zahlTextBlank(v, 7).toDouble() without the text (0 for what is no finite number).
double siebenStellen(float value);
