#pragma once

#include <QWidget>

class QLabel;
class QTableView;
class ClubDatabase;
class Dialogs;
class TabellenModell;

// The club's classes: number, designation, age range and sex in an editable grid, checked
// as they are typed, with the overlaps of age ranges named below; the usual classes of
// sport shooting can be filled in for a new club.
class KlassenFenster : public QWidget {
    Q_OBJECT
  public:
    KlassenFenster(ClubDatabase& club, Dialogs& dialogs, QWidget* parent = nullptr);

    const TabellenModell& modell() const { return *modell_; }
    TabellenModell& modell() { return *modell_; }
    void neu();           // "Neue Klasse"
    void loeschen();      // "Klasse löschen"
    void startklassen();  // "Übliche Klassen eintragen"
    QString hinweis() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void laden();
    void pruefen();

    ClubDatabase& club_;
    Dialogs& dialogs_;
    TabellenModell* modell_ = nullptr;
    QTableView* tabelle_ = nullptr;
    QLabel* hinweis_ = nullptr;
};
