#pragma once

#include <QWidget>

#include "platform/Druckausgabe.h"
#include "shotpicture/Schussbild.h"

class QCheckBox;
class QLabel;
class Clock;
class Dialogs;
class Ini;
struct Abendzustand;

// The shot picture window: the current card's shots on the LG or LP face, the range of
// shots, mirroring and rotation kept per face in wettk.ini, and the printout.
class SchussbildFenster : public QWidget {
    Q_OBJECT
  public:
    SchussbildFenster(Ini& ini, Abendzustand& zustand, Dialogs& dialogs, const Clock& uhr,
                      QWidget* parent = nullptr);
    ~SchussbildFenster() override;

    void setDruckerWahl(DruckerWahl wahl) { druckerWahl_ = std::move(wahl); }
    const Ansicht& ansicht() const { return ansicht_; }
    QWidget* flaeche() const { return flaeche_; }
    int ohneLage() const { return ohneLage_; }

    void scheibe(const QString& typ);  // LG_Butt, LP_butt
    void bereich(int erster, int letzter);
    void drehen();
    void Zeichne_Schuss();  // draws the picture anew
    void drucken();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    friend class Zeichenflaeche;
    void einstellungenLesen();
    void malen(QWidget* auf);

    Ini& ini_;
    Abendzustand& zustand_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    DruckerWahl druckerWahl_;
    Ansicht ansicht_;
    int ohneLage_ = 0;

    QWidget* flaeche_ = nullptr;
    QCheckBox* X_Spiegel = nullptr;
    QCheckBox* Y_Spiegel = nullptr;
    QCheckBox* kleine_schuss = nullptr;
    QCheckBox* Schuss_nummer = nullptr;
    QLabel* Drehen_Label = nullptr;
    QLabel* hinweis_ = nullptr;
    QString gelesenFuer_;  // the face whose settings are shown
};
