#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
struct Abendzustand;
class ClubDatabase;
class Clock;
class Dialogs;
class Seitenmodell;

// The table browser: any table of the open club database, filtered by one field, sorted,
// edited in the grid, emptied of the rows shown, exported.
class Tabellen : public QWidget {
    Q_OBJECT
  public:
    Tabellen(ClubDatabase& club, Abendzustand& zustand, Dialogs& dialogs, const Clock& uhr,
             QWidget* parent = nullptr);
    ~Tabellen() override;

    static const QStringList kTabellen;

    // The statement of the rows shown, in the program's SQL dialect.
    const QString& datensatzquelle() const { return quelle_; }
    const Seitenmodell& modell() const { return *modell_; }

    void tabelleWaehlen(const QString& tabelle);  // Tabellen_combo
    void suchen();                                // Suchen_butt
    void sortieren();                             // a choice in Sortier_combo
    void inhaltLoeschen();                        // delete_butt
    void neueZeile();                             // NeueZeile_butt
    void exportieren();                           // Export

  private:
    void aufbauen();
    bool anzeigen(const QString& quelle);
    void datenbankGeoeffnet();

    ClubDatabase& club_;
    Abendzustand& zustand_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    Seitenmodell* modell_ = nullptr;
    QString tabelle_;
    QString quelle_;

    QComboBox *Tabellen_combo = nullptr, *Such_combo = nullptr, *Sortier_combo = nullptr;
    QLineEdit* Suchtext = nullptr;
    QPushButton *Suchen_butt = nullptr, *delete_butt = nullptr, *Export = nullptr,
                *NeueZeile_butt = nullptr;
    QTableView* Tabellen_Grid = nullptr;
};
