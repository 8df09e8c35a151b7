#pragma once

#include <QString>

// A printout drawn in millimetres from the top left of the printable area; a text stands
// with its top-left corner at the given point. Reports know nothing else of the printer.
class Drucker {
  public:
    virtual ~Drucker() = default;

    virtual void schrift(double punkte, bool fett = false) = 0;
    // The font family; the printer's default font when none is set or the system lacks it.
    virtual void schriftart(const QString& name) { (void)name; }
    // Printed height and width of a text in the font in force, in millimetres.
    virtual double textHoehe(const QString& muster) = 0;
    virtual double textBreite(const QString& text) = 0;
    virtual void text(double x, double y, const QString& text) = 0;
    virtual void linie(double x1, double y1, double x2, double y2) = 0;
    virtual void rechteck(double x, double y, double breite, double hoehe) = 0;
    // A circle around (x, y); `fuellung` 0xRRGGBB or kKeineFuellung, outline in `rand`.
    static constexpr int kKeineFuellung = -1;
    virtual void kreis(double x, double y, double r, int fuellung, int rand) {
        (void)x, (void)y, (void)r, (void)fuellung, (void)rand;
    }
    virtual void textFarbe(int rgb) { (void)rgb; }
    // The printable area in the printer's units (millimetres on paper).
    virtual double breite() const { return 190; }
    virtual double hoehe() const { return 277; }
    virtual void neueSeite() = 0;
    // Ends the job: the pages go to the printer or into the file. False with the German
    // reason when that failed.
    virtual bool beenden(QString* fehler) = 0;
};
