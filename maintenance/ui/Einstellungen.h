#pragma once

#include <QWidget>

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct Abendzustand;
class ClubDatabase;
class Dialogs;
class Ini;

// The settings window: machine and port, the scoring rules, the season's last month and
// the four club-database slots, each written to wettk.ini as soon as it changes (the slots
// by "Übernehmen"); and the maintenance of the club files.
class Anzeigegruppe;
class Einstellungen : public QWidget {
    Q_OBJECT
  public:
    Einstellungen(Ini& ini, Abendzustand& zustand, ClubDatabase& club, Dialogs& dialogs,
                  QWidget* parent = nullptr);
    ~Einstellungen() override;

    // Fills every control from the settings file, exactly as if the user set them, so
    // what is shown is also what is stored. Run each time the window is opened.
    void oeffnen();

    // The main window's chosen database, opened again after the conversion.
    void setDatenbankWiederOeffnen(std::function<void()> f) { wiederOeffnen_ = std::move(f); }
    // The table browser; its button stays disabled without it.
    void setTabellenOeffnen(std::function<void()> f);
    // The list of backups ("Sicherung zurückholen"); its button stays disabled without it.
    void setSicherungenOeffnen(std::function<void()> f);
    // The live display's settings.
    Anzeigegruppe& anzeigegruppe() { return *anzeige_; }

    // Machine, port or line speed differ from what they were when the window was opened.
    bool maschineGeaendert() const { return maschineJetzt() != maschineBeimOeffnen_; }

    static const QStringList kWochentage;
    static const QStringList kFarben;

  signals:
    void geschlossen();
    // "Übernehmen" wrote the four database slots.
    void slotsGeschrieben();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void aufbauen();
    QWidget* aufbauMaschine();
    QWidget* aufbauPunkte();
    QWidget* aufbauSlots();
    QWidget* aufbauWartung();
    void verbinden();
    void zuruecksetzen();
    void slotsSchreiben();
    void dateiWaehlen(int slot);
    void umziehen();

    Ini& ini_;
    Abendzustand& zustand_;
    ClubDatabase& club_;
    Dialogs& dialogs_;
    std::function<void()> wiederOeffnen_;
    std::function<void()> tabellenOeffnen_;
    std::function<void()> sicherungenOeffnen_;
    QPushButton* Sicherungen_butt = nullptr;
    Anzeigegruppe* anzeige_ = nullptr;
    QStringList maschineJetzt() const;
    QStringList maschineBeimOeffnen_;
    bool ohneCodeGesagt_ = false;
    std::array<QLabel*, 4> dateiHinweis_{};

    QButtonGroup *maschinen_ = nullptr, *punkte_ = nullptr, *teiler_ = nullptr;
    QRadioButton *Disag = nullptr, *RMIV = nullptr, *SAM = nullptr;
    QLineEdit* Text1 = nullptr;
    QCheckBox* Win_L = nullptr;
    QRadioButton *Erster_Schuss = nullptr, *Erste10 = nullptr, *Erste20 = nullptr,
                 *Erste40 = nullptr, *Best10 = nullptr, *Best20 = nullptr, *Best40 = nullptr,
                 *Best60 = nullptr;
    QRadioButton *T_Erster = nullptr, *T_Erste10 = nullptr, *T_Alle = nullptr;
    QLineEdit* Mon_Saisonstart = nullptr;
    std::array<QLineEdit*, 4> bez_{}, datei_{};
    std::array<QPushButton*, 4> auswahl_{};
    std::array<QComboBox*, 4> farbe_{}, tag_{};
    QPushButton *Enter = nullptr, *DBTabAnz = nullptr, *Command1 = nullptr, *Command2 = nullptr,
                *Command3 = nullptr, *DB_Convert = nullptr, *Umzug_butt = nullptr;
    QCheckBox* Anz_Debug = nullptr;
};
