#pragma once

#include <QString>
#include <QVariant>

// Values typed into a grid cell of a club table, and stored values shown there, by the
// field's declared type (DATE, INTEGER, LONG, SINGLE, DOUBLE, YESNO, TEXT).

// The typed value as the field stores it; an empty text is an empty field. A value the
// field cannot take gives an invalid QVariant and the German reason in *fehler.
QVariant feldwertAusEingabe(const QVariant& eingabe, const QString& typ, QString* fehler);

// Why an emptied member number is refused: the member's results would vanish from every
// listing.
QString mitgliedsnummerFehlt();

// A stored value as the grid shows it: dates day first, decimals with a comma.
// Yes/no as "Ja"/"Nein"; a Teiler (`spalte`) of 0 or 9999 shows nothing.
QVariant feldAnzeige(const QVariant& wert, const QString& typ, const QString& spalte = {});
