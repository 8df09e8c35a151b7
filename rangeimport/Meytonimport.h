#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "platform/Database.h"
#include "platform/Protokolldatei.h"

struct Abendzustand;
class Clock;
class Dialogs;
class Ini;
class Lesequelle;

struct Importoptionen {
    bool aktualisieren = true;          // Aktualisieren_opt, else Belassen_opt
    bool einzelnBestaetigen = false;    // Einzel_check
    bool sportpassUebernehmen = false;  // SportpassID_check
};

struct Importzaehler {
    int neu = 0;
    int update = 0;
    int fehler = 0;
    int belassen = 0;
    int uebersprungen = 0;  // "Nein" to the single confirmation
};

// Where the three logs go: the documents folder.
struct Importlogpfade {
    QString fehler;  // Import-Errorlog.txt
    QString import;  // Importlog.txt
    QString debug;   // Import-Debuglog.txt
    static Importlogpfade standard();
};

// One run of the range import: the selection read from the range database, then one range
// result per step, so that a window can show progress and stop between results. Each
// result is written in one transaction of the club database; `uhr` dates its lines in the
// log of corrections.
class Meytonimport {
  public:
    Meytonimport(Lesequelle& stand, Database& club, Ini& ini, Abendzustand& zustand,
                 Dialogs& dialogs, const Clock& uhr,
                 Importlogpfade logs = Importlogpfade::standard());

    // Creates the logs anew and runs the selection. False when nothing can be imported;
    // the reason has then been shown.
    bool beginnen(const QString& auswahlSql, const Importoptionen& optionen);

    bool fertig() const { return abgebrochen_ || naechste_ >= scheiben_.size(); }
    int gesamt() const { return static_cast<int>(scheiben_.size()); }
    int erledigt() const { return static_cast<int>(naechste_); }
    const Importzaehler& zaehler() const { return zaehler_; }

    // Imports range results for about `hoechstensMs` (at least one) and stores them
    // together; each result is taken back alone when it fails. A fault of the club or range
    // database stops the import; what was stored before stays.
    void stapel(qint64 hoechstensMs);
    // Exactly the next range result.
    void schritt();
    // Stops before the next result; the logs say where.
    void abbrechen();
    bool abgebrochen() const { return abgebrochen_; }

    // Closes the logs; the closing message for the user.
    QString abschliessen();

    // beginnen, every step, abschliessen; the closing message is shown.
    void alles(const QString& auswahlSql, const Importoptionen& optionen);

  private:
    struct Mitglied {
        int nr = 0;
        int klasse = 0;
    };
    bool mitgliedSuchen(std::size_t zeile, Mitglied* m);
    enum class Art { Neu, Update, Belassen };
    Art ergebnisSchreiben(std::size_t zeile, const Mitglied& m);
    struct Erledigt {
        Art art;
        QString nr;
        QString zeile;
    };
    std::optional<Erledigt> zeileImportieren(std::size_t z, const QString& zeile);
    void verbuchen(const Erledigt& e);
    void meldungenZeigen();
    void fehlerEintragen(const QString& text);
    void stoppen(const QString& grund);
    static void eintrag(Protokolldatei& log, const QString& text);

    Lesequelle& stand_;
    Database& club_;
    Ini& ini_;
    Abendzustand& zustand_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    Importlogpfade pfade_;
    Importoptionen optionen_;
    Protokolldatei fehlerLog_, importLog_, debugLog_;
    SqlRows scheiben_;
    std::size_t naechste_ = 0;
    Importzaehler zaehler_;
    bool abgebrochen_ = false;
    QString stopGrund_;
    bool einzelschussGemeldet_ = false;
    QStringList meldungen_;
};
