#pragma once

#include <QWidget>

#include <memory>

#include "platform/OdbcQuelle.h"
#include "rangeimport/Auswahl.h"
#include "rangeimport/Meytonimport.h"
#include "rangeimport/Standleser.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
struct Abendzustand;
class ClubDatabase;
class Clock;
class Dialogs;
class Hauptfelder;
class Ini;

// The range import window: which results of the range database to take, how to treat
// results taken before, and the import itself with its progress.
class MeytonImport : public QWidget {
    Q_OBJECT
  public:
    MeytonImport(ClubDatabase& club, const Hauptfelder& haupt, Ini& ini, Abendzustand& zustand,
                 Dialogs& dialogs, const Clock& uhr, QWidget* parent = nullptr);
    ~MeytonImport() override;

    inline static const QString kDatenquelle = QStringLiteral("ssmdb2");

    // Takes the main window's date and connects to the range database, filling the lists.
    // Called whenever the window is opened while it has no connection.
    void laden();
    bool verbunden() const { return stand_.isOpen(); }

    Importauswahl auswahl() const;
    Importoptionen optionen() const;

    // Import_butt: reads the range's results on a thread of its own, then imports them, a
    // batch of results per turn of the event loop.
    void importieren();
    bool laeuft() const { return import_ != nullptr || leser_.laeuft(); }
    void abbrechen();

    // Where the logs go (the documents folder unless a test says otherwise).
    void setLogpfade(Importlogpfade pfade) { logpfade_ = std::move(pfade); }

  signals:
    void importBeendet();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

  private:
    void aufbauen();
    bool verbinden();
    void listeFuellen(QComboBox* combo, QStringList (*werte)(Lesequelle&));
    void gelesen(Standleser::Ergebnis ergebnis, const QString& sql, const Importoptionen& optionen);
    void verbindungsfehlerMelden(const QString& grund, bool einrichtungFehlt);
    void weiter();
    void beenden();
    void bedienungFreigeben(bool frei);

    ClubDatabase& club_;
    const Hauptfelder& haupt_;
    Ini& ini_;
    Abendzustand& zustand_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    OdbcQuelle stand_;
    Importlogpfade logpfade_ = Importlogpfade::standard();
    std::shared_ptr<Vorgelesen> vorgelesen_;  // what import_ reads from
    std::unique_ptr<Meytonimport> import_;
    Standleser leser_;
    QTimer* takt_ = nullptr;

    QRadioButton *Alles_opt = nullptr, *Jahr_opt = nullptr, *Datum_opt = nullptr;
    QLineEdit *Datum_txt = nullptr, *Jahr_txt = nullptr;
    QRadioButton *Liste_alle_opt = nullptr, *Liste_opt = nullptr;
    QComboBox* Listen_Combo = nullptr;
    QRadioButton *Disziplin_alle_opt = nullptr, *Disziplin_wertung_opt = nullptr,
                 *Disziplin_opt = nullptr;
    QComboBox* Disziplin_Combo = nullptr;
    QRadioButton *Aktualisieren_opt = nullptr, *Belassen_opt = nullptr;
    QCheckBox *Einzel_check = nullptr, *SportpassID_check = nullptr;
    QPushButton *Import_butt = nullptr, *Abbrechen_butt = nullptr;
    QProgressBar* Fortschritt = nullptr;
    QLabel* Fortschritt_lbl = nullptr;
};
