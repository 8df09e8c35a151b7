#pragma once

#include <QPointF>
#include <QString>

class Drucker;
struct Abendzustand;

// How the shots are shown: the range of slots, mirroring and rotation of the face, small
// marks, shot numbers.
struct Ansicht {
    int erster = 1;
    int letzter = 60;
    double spiegelX = 1;
    double spiegelY = 1;
    int drehung = 0;  // 0, 90, 180, 270
    bool klein = false;
    bool nummern = false;
};

// Where a shot at X, Y (ring widths, right and down) lies on a face with centre cx, cy and
// unit u (one ring width): mirrored, then rotated about the centre.
QPointF schussLage(double cx, double cy, double u, const Ansicht& a, double x, double y);

// A shot has a position when the machine gave one: a typed shot (0, 0 without a Teiler) has
// none and is not drawn, so that it cannot pass for a ten.
bool hatLage(float x, float y, float teiler);

// The screen picture on a drawing area of the given size (any unit): the LG or LP face and
// the shots of the range. Returns the shots of the range left out for want of a position.
int bildZeichnen(Drucker& d, double breite, double hoehe, const QString& scheibentyp,
                 const Ansicht& a, const Abendzustand& z);

// The printed page: six pictures of ten shots and one large picture of all, without the
// rotation of the screen.
void bildDrucken(Drucker& d, const QString& scheibentyp, const Ansicht& a, const Abendzustand& z);
