#pragma once

#include <QMainWindow>

#include <array>
#include <functional>

#include "core/Hauptfelder.h"
#include "core/Wettkampfzeilen.h"
#include "evening/Abendsteuerung.h"
#include "evening/Felder.h"
#include "machine/Einleseablauf.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Datenbankliste;
class Programmknoepfe;
class Schussgitter;

struct Abendzustand;
class ClubDatabase;
class Lesesteuerung;
class Clock;
class Dialogs;
class Ini;
struct OeffnenErgebnis;

// The main window: one shooting evening, member by member. What the evening does with the
// fields is Abendsteuerung's; the window shows them and passes the user's keys on.
class Ringe : public QMainWindow,
              public Abendfenster,
              public Hauptfelder,
              public Abendanzeige {
    Q_OBJECT
  public:
    Ringe(Ini& ini, Abendzustand& zustand, ClubDatabase& club, Dialogs& dialogs, const Clock& clock,
          QWidget* parent = nullptr);
    ~Ringe() override;

    // The start-up of the window: settings, machine, dates, season, database of the day.
    void laden();

    // The fields as working variables, and back.
    Felder felderLesen() const override;
    void felderZeigen(const Felder& felder) override;
    void meldung(const QString& zeile, bool ganz) override;

    // The evening behind the fields: whoever shows stored evenings elsewhere listens to
    // its abendGespeichert().
    Abendsteuerung& steuerung() { return steuerung_; }

    // The reading window and the machine settings window; without them the machine
    // controls stay disabled and rings are typed by hand.
    void setLesesteuerung(Lesesteuerung* lesen);

    // How "Auswertung" opens the evaluation window; without it the button stays disabled.
    void setAuswertungOeffnen(std::function<void()> oeffnen);
    // How "Mitglieder" opens the members window (after the database shown in the list has
    // been opened again); without it the button stays disabled.
    void setMitgliederOeffnen(std::function<void()> oeffnen);
    void setMeytonImportOeffnen(std::function<void()> oeffnen);
    void setEinstellungenOeffnen(std::function<void()> oeffnen);
    // Asked with the slot's name before its database is opened (an old file may be taken
    // over first).
    void setVorDemOeffnen(std::function<void(const QString& name)> f) {
        steuerung_.setVorDemOeffnen(std::move(f));
    }
    // The database chosen in the list, opened again (after the files were converted).
    void datenbankWiederOeffnen();
    // After a backup was brought back: the member shown with the evening stored now.
    void gespeichertZeigen();
    // The database slots were changed in the settings window.
    void slotsGeaendert();
    // Shows the configured machine: its name and the buttons that belong to it.
    void maschineEinrichten();
    // The competition grid and how "Wettkampf Teilnehmer" opens its window; without them the
    // button and the check box "Wettkampf" stay disabled.
    void setWettkampf(Wettkampfzeilen* zeilen, std::function<void()> oeffnen);
    // How "Schussbild" shows the shot picture; without it the button stays disabled.
    void setSchussbildOeffnen(std::function<void()> oeffnen);

    // The fields other windows read.
    QString heuteText() const override;
    QString nTagText() const override;
    QString saisonText() const override;
    QString sNameText() const override;
    QString sNummerText() const override;

    // Calculate and save (the button, F4, and the end of a reading).
    void berechnenUndSpeichern() override;

    // What a reading asks of the main window.
    void serienUndAnzeige() override;
    void warnung(const QString& text) override;
    void nichtsGelesen(const QString& text) override;
    void nachVorne() override;
    void programmZeigen(const QString& text) override;
    void lesungOffen(bool offen) override;
    QRect freizuhalten() const override;
    std::shared_ptr<const Abendvermerk> abendVermerk() const override;
    bool nachtragen(const Abendvermerk& abend,
                    const std::function<void(Abendzustand&)>& schuesse) override;

  signals:
    // No machine is configured: the settings window should open.
    void einstellungenGewuenscht();
    // An evening reached the club database from this window.
    void abendGespeichert();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // construction (RingeAufbau.cpp)
    void aufbauen();
    QWidget* aufbauSchuetze();
    QWidget* aufbauSchuesse();
    QWidget* aufbauSummen();
    QWidget* aufbauSeite();
    void tabReihenfolge();

    // handlers (RingeEingabe.cpp)
    void funktionstaste(int n);
    bool nummerTaste(QKeyEvent* event);
    void nameGeaendert();
    void datumPruefen(QLineEdit* feld);
    void bestTeilerVerlassen();
    void fokusNachMitglied();
    void starten();

    // While a reading is open: tells the user so and returns true.
    bool lesungSperrt();
    // A ring or Teiler field: filled by the machine during a reading.
    bool vonDerMaschine(const QObject* feld) const;

    Ini& ini_;
    Abendzustand& zustand_;
    ClubDatabase& club_;
    Dialogs& dialogs_;
    const Clock& clock_;
    Abendsteuerung steuerung_;

    Lesesteuerung* lesen_ = nullptr;
    std::function<void()> auswertungOeffnen_;
    std::function<void()> mitgliederOeffnen_;
    std::function<void()> meytonImportOeffnen_;
    std::function<void()> einstellungenOeffnen_;
    std::function<void()> wettkampfOeffnen_;
    std::function<void()> schussbildOeffnen_;
    QString bestTeilerBeimBetreten_;
    bool lesungOffen_ = false;

    Schussgitter* gitter_ = nullptr;
    Programmknoepfe* programme_ = nullptr;

    QLineEdit* SNummer = nullptr;
    QLineEdit* SName = nullptr;
    QLabel* Label13 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QLineEdit* NTag = nullptr;
    QLineEdit* Heute = nullptr;
    QLineEdit* VTag = nullptr;
    QLineEdit* Saison = nullptr;
    QLabel* Label11 = nullptr;
    QCheckBox* Anwesend = nullptr;
    QCheckBox* Liegend = nullptr;
    QCheckBox* Wettkampf = nullptr;
    std::array<QLineEdit*, 61> Schuss{};  // the grid's fields
    std::array<QLineEdit*, 7> Scheibe{};
    std::array<QLineEdit*, 7> Teiler{};
    QLineEdit* GesScheibe = nullptr;
    QLineEdit* BestTeiler = nullptr;
    QLineEdit* Best10 = nullptr;
    QLineEdit* Best = nullptr;
    QLineEdit* Punkte = nullptr;
    QLabel* Warnung = nullptr;
    Datenbankliste* DBCombo = nullptr;
    QLabel* WERTM_NAME = nullptr;
    QLineEdit* RMst = nullptr;
    QPushButton* Start = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* ButtFernsteuern = nullptr;
    QPushButton* ButtNormal = nullptr;
    QPushButton* ButtAuswertung = nullptr;
    QPushButton* ButtMitglieder = nullptr;
    QPushButton* Einstellungen_butt = nullptr;
    QPushButton* MeytonImport_butt = nullptr;
    QPushButton* Schussbild_butt = nullptr;
    QPushButton* Wett_Butt = nullptr;
};
