#include "machine/Einleseablauf.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>

#include <algorithm>

#include "core/Abendzustand.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Zahlen.h"
#include "machine/Steuerzeichen.h"
#include "platform/Cp1252.h"
#include "platform/SerialLine.h"

Q_LOGGING_CATEGORY(lcSeriell, "zielkunst.seriell")

namespace {
using namespace steuer;
const QString kFertig = QStringLiteral("Fertig");
}  // namespace

Einleseablauf::Einleseablauf(SerialLine& line, Ini& ini, Abendzustand& zustand,
                             EinleseAnzeige& anzeige, Abendfenster& abend, QObject* parent)
    : QObject(parent), line_(line), ini_(ini), z_(zustand), anzeige_(anzeige), abend_(abend) {
    timer1_.setInterval(1000);
    berichtRuhe_.setSingleShot(true);
    berichtRuhe_.setInterval(1500);
    connect(&timer1_, &QTimer::timeout, this, &Einleseablauf::timer1Tick);
    connect(&berichtRuhe_, &QTimer::timeout, this, &Einleseablauf::berichteSenden);
    connect(&line_, &SerialLine::readyRead, this, &Einleseablauf::empfangen);
    connect(&line_, &SerialLine::getrennt, this, &Einleseablauf::leitungWeg);
    connect(&line_, &SerialLine::verkehr, this, [this](char richtung, const QByteArray& bytes) {
        if (z_.DebugAnzeige) {
            qCInfo(lcSeriell) << richtung << bytes.toHex(' ');
        }
    });
    restLaden();
}

Einleseablauf::~Einleseablauf() = default;

Maschinendialog& Einleseablauf::dialog() {
    if (!dialog_ || dialogFuer_ != z_.MachineName) {
        dialog_ = maschinendialogFuer(z_.MachineName, *this);
        dialogFuer_ = z_.MachineName;
    }
    return *dialog_;
}

QString Einleseablauf::leitungsEinstellung() {
    return dialog().leitungsEinstellung();
}

bool Einleseablauf::portEinrichten(QString* fehler) {
    if (z_.MachineName != ini::kMaschineSam && z_.MachineName != ini::kMaschineRm3Win) {
        z_.MachineName = ini::kMaschineRm3;
        ini_.IniSchreiben(ini::kWertmaschine, ini::kName, ini::kMaschineRm3);
    }
    int port = line_.port();
    const QString comport = ini_.IniLesen(ini::kWertmaschine, ini::kComport);
    if (comport.isEmpty()) {
        ini_.IniSchreiben(ini::kWertmaschine, ini::kComport, QStringLiteral("1"));
        port = 1;
    } else {
        const double n = Zahlwert(comport);
        if (n >= 1 && n <= 4 && n == static_cast<int>(n)) {
            port = static_cast<int>(n);
        }
    }
    if (!line_.open(port, leitungsEinstellung(), fehler)) {
        return false;
    }
    line_.setDtr(dialog().dtr());
    return true;
}

// A machine is there when the port is open and nothing says otherwise: a port with no
// device behind it shows DSR off (a pseudo-terminal cannot tell, and counts as ready).
bool Einleseablauf::bereit() {
    return line_.isOpen() && line_.dsr() != SerialLine::Pegel::Aus;
}

bool Einleseablauf::portOffen() {
    if (line_.isOpen()) {
        return true;
    }
    QString fehler;
    if (line_.open(line_.port(), leitungsEinstellung(), &fehler)) {
        line_.setDtr(dialog().dtr());
        return true;
    }
    abend_.warnung(fehler.section(u'\n', 0, 1).replace(u'\n', u' '));
    if (liest_) {
        anzeige_.status(fehler.section(u'\n', 0, 1));
    }
    return false;
}

void Einleseablauf::senden(const QByteArray& bytes) {
    line_.write(bytes);
}

void Einleseablauf::leitungEinstellen(const QString& settings) {
    line_.setSettings(settings);
}

void Einleseablauf::debug(const QByteArray& text) {
    if (z_.DebugAnzeige) {
        anzeige_.debugAnhaengen(QLatin1Char('\r') + cp1252::decode(text));
    }
}

void Einleseablauf::debugLabel(const QString& text) {
    anzeige_.debugLabel(text);
}

void Einleseablauf::status(const QString& text) {
    anzeige_.status(text);
}

void Einleseablauf::warnung(const QString& text) {
    abend_.warnung(text);
}

void Einleseablauf::schuesseZeigen() {
    abend_.serienUndAnzeige();
}

void Einleseablauf::pollen(int ms) {
    if (ms > 0) {
        timer1_.start(ms);
    } else {
        timer1_.stop();
    }
}

// ---- sending ------------------------------------------------------------------------

void Einleseablauf::ZuRM(const QString& text) {
    line_.setRts(true);
    if (line_.dsr() == SerialLine::Pegel::Aus) {
        // The machine signals readiness on DSR; a missing machine must not hang the program.
        QElapsedTimer uhr;
        uhr.start();
        QEventLoop warten;
        QTimer schauen;
        connect(&schauen, &QTimer::timeout, &warten, [&] {
            if (line_.dsr() != SerialLine::Pegel::Aus || uhr.elapsed() >= dsrWarteMs_) {
                warten.quit();
            }
        });
        schauen.start(20);
        warten.exec();
        if (line_.dsr() == SerialLine::Pegel::Aus) {
            abend_.warnung(
                QStringLiteral("Die Ringlesemaschine meldet keine Bereitschaft (DSR). "
                               "Es wurde trotzdem gesendet."));
        }
    }
    senden(cp1252::encode(text) + CR);
}

void Einleseablauf::ZuSAM(const QByteArray& bytes) {
    senden(bytes);
}

void Einleseablauf::fernsteuern() {
    dialog().fernsteuern();
}

void Einleseablauf::normal() {
    ZuRM(QStringLiteral("EXIT"));
}

void Einleseablauf::sendeAck() {
    senden(QByteArray(1, ACK));
}

// ---- a reading ----------------------------------------------------------------------

void Einleseablauf::auswertung_starten() {
    liest_ = true;
    jetzt_ = abend_.abendVermerk();
    abend_.lesungOffen(true);
    maschineFertig_ = false;
    beendenVerschoben_ = false;
    offeneBerichte_.reset();
    berichtRuhe_.stop();
    anzeige_.status(QStringLiteral("Bitte erste Scheibe einlegen"));
    // A line that went away is opened again: the device may be back.
    if (!portOffen()) {
        return;
    }
    line_.setDtr(dialog().dtr());
    dialog().starten();
}

void Einleseablauf::empfangen() {
    if (korrekturLaeuft_) {
        return;  // a hand entry comes first; what arrives waits in the port
    }
    const QByteArray text = line_.readAll();
    if (text.isEmpty()) {
        return;
    }
    if (offeneBerichte_.any()) {
        berichtRuhe_.start();
    }
    dialog().empfangen(text);
}

void Einleseablauf::timer1Tick() {
    if (korrekturLaeuft_) {
        return;
    }
    if (line_.bytesWaiting() > 0) {
        empfangen();  // whatever a missed receive event left in the port
    }
    dialog().tick();
}

void Einleseablauf::ereignis(Maschinenereignis e) {
    switch (e) {
        case Maschinenereignis::KarteEnde:
            karteEnde();
            break;
        case Maschinenereignis::LesenEnde:
            maschineFertig_ = true;
            anzeige_.status(kFertig);
            beenden();
            break;
        case Maschinenereignis::LesenAbbruch:
            beenden();
            break;
    }
}

void Einleseablauf::karteEnde() {
    korrekturVerfahren();
    berichteSenden();
    abend_.serienUndAnzeige();
    anzeige_.status(QStringLiteral("Bitte nächste Scheibe einlegen"));
}

void Einleseablauf::beenden() {
    if (korrekturLaeuft_) {
        beendenVerschoben_ = true;  // finished as soon as the hand entry is done
        anzeige_.status(QStringLiteral("Schuss") + zahlTextBlank(korrekturSlot_) +
                        QStringLiteral(" angeben: danach wird das Einlesen beendet"));
        return;
    }
    timer1_.stop();
    korrekturVerfahren();
    if (line_.isOpen()) {
        berichteSenden();
        // Whether the machine still needs "ABR" follows from what it sent, not from a text
        // on the screen.
        dialog().beenden(maschineFertig_);
    } else {
        dialog().stillegen();
        if (!liest_) {
            return;  // what was left of the line completed the reading
        }
    }
    lesenFertig();
}

void Einleseablauf::lesenFertig() {
    timer1_.stop();
    anzeige_.status(kFertig);
    liest_ = false;
    abend_.lesungOffen(false);
    const bool schuesse = std::any_of(z_.Shots.begin() + 1, z_.Shots.end(),
                                      [](const ShotSlot& s) { return s.ValidFlag; });
    if (schuesse) {
        abend_.serienUndAnzeige();
        abend_.berechnenUndSpeichern();
    } else {
        abend_.nichtsGelesen(
            QStringLiteral("Von der Maschine kam kein Schuss: Es wurde nichts gespeichert, "
                           "ein schon gespeicherter Abend bleibt, wie er war."));
    }
    // Noted after storing: the note names the evening as it was stored.
    const QString rest = restMerken();
    if (rest.isEmpty()) {
        anzeige_.verbergen();
    } else {
        anzeige_.status(rest);  // the window stays, so that the official reads it
        abend_.warnung(rest);
    }
    abend_.nachVorne();
    emit gelesen();
    if (line_.bytesWaiting() > 0) {
        QTimer::singleShot(0, this, &Einleseablauf::empfangen);  // the answer to the last ENQ
    }
}

void Einleseablauf::korrekturVerfahren() {
    if (korrekturLaeuft_) {
        return;
    }
    korrekturLaeuft_ = true;
    for (int slot = 1; slot <= Abendzustand::kSchuesse; ++slot) {
        ShotSlot& s = z_.Shots[static_cast<std::size_t>(slot)];
        if (!s.CorrectionFlag) {
            continue;
        }
        anzeige_.status(QStringLiteral("Schuss") + zahlTextBlank(slot) +
                        QStringLiteral(" angeben"));
        korrekturSlot_ = slot;
        const int wert = anzeige_.korrekturErfragen(slot, s.Ring);
        s.Ring = static_cast<std::int16_t>(std::clamp(wert, 0, 10));
        s.X = 0;
        s.Y = static_cast<float>(10 - s.Ring);
        s.Teiler = ShotSlot::kKeinTeiler;
        s.CorrectionFlag = false;
        offeneBerichte_.set(static_cast<std::size_t>((slot - 1) / 10 + 1));
    }
    korrekturLaeuft_ = false;
    if (offeneBerichte_.any()) {
        berichtRuhe_.start();
    }
    wartenVorbei();
}

// A hand entry or a question is over: a finishing asked for meanwhile, or input that came.
void Einleseablauf::wartenVorbei() {
    if (beendenVerschoben_) {
        beendenVerschoben_ = false;
        QTimer::singleShot(0, this, &Einleseablauf::beenden);
    } else if (line_.bytesWaiting() > 0) {
        QTimer::singleShot(0, this, &Einleseablauf::empfangen);  // what came in meanwhile
    }
}

// The report names the card the corrected shot is on, with the total of that whole card:
// it goes out once the card's end has come (or the line has stayed quiet, for a machine that
// waits for the report before it sends the rest).
void Einleseablauf::berichteSenden() {
    berichtRuhe_.stop();
    for (std::size_t karte = 1; karte <= Abendzustand::kSerien; ++karte) {
        if (!offeneBerichte_.test(karte)) {
            continue;
        }
        offeneBerichte_.reset(karte);
        const int ende = static_cast<int>(karte) * 10;
        int summe = 0;
        for (int slot = ende - 9; slot <= ende; ++slot) {
            summe += z_.Shots[static_cast<std::size_t>(slot)].Ring;
        }
        ZuRM(QString::number(ende) + QLatin1Char('\r') + QString::number(summe) +
             QStringLiteral("\rkorr\rEdit"));
    }
}

void Einleseablauf::leitungWeg(const QString& grund) {
    timer1_.stop();
    berichtRuhe_.stop();
    offeneBerichte_.reset();
    if (line_.bytesWaiting() > 0) {
        empfangen();  // what had come before the line went
    }
    dialog().stillegen();
    const QString verworfen = dialog().verworfen();
    const QString text = verworfen.isEmpty() ? grund : grund + u'\n' + verworfen;
    abend_.warnung(text);
    if (liest_) {
        abend_.serienUndAnzeige();
        anzeige_.status(text + QStringLiteral("\nDie gelesenen Schüsse bleiben erhalten: "
                                              "„Einlesen beenden“ speichert sie."));
    }
}
