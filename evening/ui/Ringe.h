#pragma once

#include <QMainWindow>
#include <QSet>

#include <array>
#include <functional>
#include <optional>

#include "core/Hauptfelder.h"
#include "core/Wettkampfzeilen.h"
#include "evening/Abendstand.h"
#include "evening/Felder.h"
#include "evening/Mitglieder.h"
#include "machine/Einleseablauf.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

struct Abendzustand;
class ClubDatabase;
class Lesesteuerung;
class Clock;
class Dialogs;
class Ini;
struct OeffnenErgebnis;

// The main window: one shooting evening, member by member.
class Ringe : public QMainWindow, public Abendfenster, public Hauptfelder {
    Q_OBJECT
  public:
    Ringe(Ini& ini, Abendzustand& zustand, ClubDatabase& club, Dialogs& dialogs, const Clock& clock,
          QWidget* parent = nullptr);
    ~Ringe() override;

    // The start-up of the window: settings, machine, dates, season, database of the day.
    void laden();

    // The fields as working variables, and back.
    Felder felderLesen() const;
    void felderZeigen(const Felder& felder);

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
        vorDemOeffnen_ = std::move(f);
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

    // handlers
    void funktionstaste(int n);
    bool nummerTaste(QKeyEvent* event);
    void nummerGeaendert();
    void nameGeaendert();
    bool schussTaste(int index, QKeyEvent* event);
    void schussText(int index);
    void schussEingegeben(int index);
    void datumPruefen(QLineEdit* feld);
    void saisonGeaendert();
    void bestTeilerVerlassen();
    void datenbankGewaehlt(int index);
    bool datenbankOeffnen(const QString& name);
    void datenbankListeFuellen();
    void fokusNachMitglied();
    void starten();
    void wettkampfEintragen(Felder& f);
    void speichern(bool ersetzen);
    bool mitgliedAnlegen();
    void abendLaden(Felder& f);
    void programmKnopf(std::size_t index);
    void programmListe();
    void andereKarte();

    // While a reading is open: tells the user so and returns true.
    bool lesungSperrt();
    // A ring or Teiler field: filled by the machine during a reading.
    bool vonDerMaschine(const QObject* feld) const;
    bool dbListeGesperrt(const QEvent* event) const;

    // Runs a rule on the fields; a number overflow or engine error ends it with a message.
    bool mitFeldern(const std::function<void(Felder&)>& regel, const QString& fehlerVorspann = {});

    Ini& ini_;
    Abendzustand& zustand_;
    ClubDatabase& club_;
    Dialogs& dialogs_;
    const Clock& clock_;

    Lesesteuerung* lesen_ = nullptr;
    std::function<void()> auswertungOeffnen_;
    std::function<void()> mitgliederOeffnen_;
    std::function<void()> meytonImportOeffnen_;
    std::function<void()> einstellungenOeffnen_;
    std::function<void(const QString&)> vorDemOeffnen_;
    Wettkampfzeilen* wettkampf_ = nullptr;
    std::function<void()> wettkampfOeffnen_;
    std::function<void()> schussbildOeffnen_;
    std::optional<Mitglied> mitglied_;
    bool mitgliedUnlesbar_ = false;  // the number typed could not be looked up
    GeladenerAbend geladen_;         // the stored evening as this place last saw it
    QSet<int> punkteHinweisKlassen_;  // classes told of empty point tables (0: none)
    QString bestTeilerBeimBetreten_;
    int offenerSlot_ = -1;
    bool lesungOffen_ = false;

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
    std::array<QLineEdit*, 61> Schuss{};
    std::array<QLineEdit*, 7> Scheibe{};
    std::array<QLineEdit*, 7> Teiler{};
    QLineEdit* GesScheibe = nullptr;
    QLineEdit* BestTeiler = nullptr;
    QLineEdit* Best10 = nullptr;
    QLineEdit* Best = nullptr;
    QLineEdit* Punkte = nullptr;
    QLabel* Warnung = nullptr;
    QComboBox* DBCombo = nullptr;
    QLabel* WERTM_NAME = nullptr;
    QLineEdit* RMst = nullptr;
    QGroupBox* Frame2 = nullptr;
    QPushButton* S1x10 = nullptr;
    QPushButton* S2x10 = nullptr;
    QPushButton* S4x10 = nullptr;
    QPushButton* S4x5 = nullptr;
    QPushButton* S8x5 = nullptr;
    QPushButton* S20x2 = nullptr;
    QComboBox* schuss_combo = nullptr;
    std::array<QRadioButton*, 11> Option{};  // Option4 .. Option10 at their numbers
    QRadioButton* Option_Combo = nullptr;
    QPushButton* AndereKarten = nullptr;
    QPushButton* SString = nullptr;
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
