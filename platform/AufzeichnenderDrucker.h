#pragma once

#include <QList>
#include <QString>

#include "platform/Drucker.h"

// Records what a report draws, for tests and for measuring the layout. Text sizes follow
// the font size as a printer's would (the height of a line is 1.15 times the point size).
class AufzeichnenderDrucker : public Drucker {
  public:
    struct Eintrag {
        enum Art { Text, Linie, Rechteck, Kreis } art = Text;
        int seite = 1;
        double x = 0;
        double y = 0;
        double x2 = 0;  // Linie: end point; Rechteck: width and height
        double y2 = 0;
        QString text;
        double punkte = 10;
        bool fett = false;
    };

    void schrift(double punkte, bool fett) override {
        punkte_ = punkte;
        fett_ = fett;
    }
    double textHoehe(const QString& muster) override;
    double textBreite(const QString& text) override;
    void text(double x, double y, const QString& text) override;
    void linie(double x1, double y1, double x2, double y2) override;
    void rechteck(double x, double y, double breite, double hoehe) override;
    void neueSeite() override { ++seite_; }
    // Kreis: x, y the centre, x2 the radius, y2 the fill (-1 none), text the outline as hex.
    void kreis(double x, double y, double r, int fuellung, int rand) override {
        eintraege.append({Eintrag::Kreis, seite_, x, y, r, static_cast<double>(fuellung),
                          QString::number(rand, 16), punkte_, fett_});
    }
    bool beenden(QString*) override {
        beendet = true;
        return true;
    }

    QList<Eintrag> eintraege;
    bool beendet = false;
    int seiten() const { return seite_; }
    // The texts in drawing order, and the first one that starts with `anfang`.
    QStringList texte() const;
    const Eintrag* suche(const QString& anfang) const;

  private:
    double punkte_ = 10;
    bool fett_ = false;
    int seite_ = 1;
};
