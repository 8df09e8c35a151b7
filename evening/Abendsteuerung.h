#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

#include "evening/Abendstand.h"
#include "evening/Felder.h"
#include "evening/Mitglieder.h"

struct Abendzustand;
class ClubDatabase;
class Clock;
class Dialogs;
class Wettkampfzeilen;

// Where the evening is shown: the main window, or a plain record in a test.
class Abendanzeige {
  public:
    virtual ~Abendanzeige() = default;
    virtual Felder felderLesen() const = 0;
    virtual void felderZeigen(const Felder& felder) = 0;
    // The message line; with `ganz` the whole line is also kept where a short line is cut.
    virtual void meldung(const QString& zeile, bool ganz) = 0;
};

// The evening of one member at a time, without a window: the member recalled by number or
// name, the rings typed into the buffer, storing with the check against another stand,
// competition rows, and strips a machine kept from an earlier reading. Questions go
// through Dialogs, the fields through Abendanzeige.
class Abendsteuerung : public QObject {
    Q_OBJECT
  public:
    Abendsteuerung(Abendzustand& zustand, ClubDatabase& club, Dialogs& dialogs,
                   const Clock& clock, Abendanzeige& anzeige, QObject* parent = nullptr);

    // The competition grid; without it competition mode stores nothing.
    void setWettkampf(Wettkampfzeilen* zeilen) { wettkampf_ = zeilen; }
    bool hatWettkampf() const { return wettkampf_ != nullptr; }
    // Asked with the slot's name before its database is opened.
    void setVorDemOeffnen(std::function<void(const QString& name)> f) {
        vorDemOeffnen_ = std::move(f);
    }

    // Opens the club database a slot names; a missing file is created on the user's word.
    // `farbe` receives the database's colour when it has one. False after telling why not.
    bool datenbankOeffnen(const QString& name, std::optional<unsigned>* farbe = nullptr);

    // The number in SNummer was changed: the member and the stored evening of the chosen
    // date are recalled (in competition mode: the name of that grid row).
    void mitgliedAbrufen();
    // A name was typed into SName: true when it named exactly one member, now recalled.
    bool nameGetippt();

    // Ring field k now reads `text`: the buffer follows it.
    void ringGesetzt(int k, const QString& text);
    // A ring was typed into field k: its series total is shown once its shots are there.
    void serieAddieren(int k);
    void saisonGeaendert();
    // A Teiler typed by hand into BestTeiler travels with the first shot.
    void teilerGetippt(const QString& text);
    // A field date that is no date: the date it falls back to (today moved by `tage`).
    QString gueltigesDatum(const QString& text, int tage) const;

    // Calculates and stores; `programm` is the number of shots the chosen target program
    // holds (0: no bound).
    void berechnenUndSpeichern(int programm) { speichern(programm, false); }
    // The buffer's series and shots shown in the fields (the reading's hand-over).
    void serienUndAnzeige();
    // Before a new card is read: asks before shown rings are wiped; false when kept.
    bool karteLeeren();
    // Adds shots to an evening noted earlier (null: none of a member) and stores it.
    bool nachtragen(const Felder* abend, const QString& wer, const QString& datum,
                    const std::function<void(Abendzustand&)>& schuesse);

  signals:
    // An evening was stored in the club database just now (calculated and saved, or a
    // kept strip added); competition rows are not.
    void abendGespeichert();

  private:
    // Runs a rule on the fields; a number overflow or engine error ends it with a message.
    bool mitFeldern(const std::function<void(Felder&)>& regel,
                    const QString& fehlerVorspann = {});
    void abendLaden(Felder& f);
    void speichern(int programm, bool ersetzen);
    // False after telling the user the number names no row.
    bool wettkampfEintragen(Felder& f);
    bool mitgliedAnlegen();

    Abendzustand& zustand_;
    ClubDatabase& club_;
    Dialogs& dialogs_;
    const Clock& clock_;
    Abendanzeige& anzeige_;

    Wettkampfzeilen* wettkampf_ = nullptr;
    std::function<void(const QString&)> vorDemOeffnen_;
    std::optional<Mitglied> mitglied_;
    bool mitgliedUnlesbar_ = false;   // the number typed could not be looked up
    GeladenerAbend geladen_;          // the stored evening as this place last saw it
    QSet<int> punkteHinweisKlassen_;  // classes told of empty point tables (0: none)
};
