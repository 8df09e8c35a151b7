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
const QString kRestSchluessel = QStringLiteral("STREIFENREST");

QString werVon(const std::shared_ptr<const Abendvermerk>& v) {
    if (!v) {
        return QStringLiteral("das Mitglied davor");
    }
    return v->datum.isEmpty() ? v->wer() : v->wer() + QStringLiteral(" am ") + v->datum;
}

// One is the beginning of the other: a strip cut off is the start of its whole resend.
bool gleicherStreifen(const QByteArray& a, const QByteArray& b) {
    return !a.isEmpty() && !b.isEmpty() && (a.startsWith(b) || b.startsWith(a));
}
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
    abend_.serienUndAnzeige();
    abend_.berechnenUndSpeichern();
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

// ---- a strip left in the machine ------------------------------------------------------

QString Einleseablauf::restMerken() {
    letzter_ = abend_.abendVermerk();
    if (!letzter_) {
        letzter_ = jetzt_;
    }
    bool gespeichert = false;
    const QByteArray block = dialog().liegtNoch(&gespeichert);
    if (block.isEmpty()) {
        return {};
    }
    rest_ = Streifenrest{block, letzter_, werVon(letzter_), gespeichert, true};
    restSichern();
    return restText();
}

QString Einleseablauf::restText() const {
    if (!rest_) {
        return {};
    }
    if (rest_->gespeichert) {
        return QStringLiteral(
                   "Der Streifen von %1 ist gespeichert, liegt aber noch in der Maschine: die "
                   "SAM hat die Bestätigung nicht angenommen. Sie sendet ihn bei der nächsten "
                   "Lesung zuerst; dann wird gefragt, wohin er gehört.")
            .arg(rest_->wer);
    }
    return QStringLiteral(
               "Der Streifen von %1 liegt noch in der Maschine: er wurde weder gespeichert noch "
               "bestätigt. Die SAM sendet ihn bei der nächsten Lesung zuerst; dann wird "
               "gefragt, wohin er gehört.")
        .arg(rest_->wer);
}

// Bytes of a block that came after the reading ended: the machine holds that block for the
// member of the reading just ended.
void Einleseablauf::nachgekommen(const QByteArray& block) {
    if (liest_) {
        return;
    }
    if (rest_ && rest_->ausDiesemLauf && rest_->abend == letzter_) {
        if (block.size() <= rest_->block.size()) {
            return;  // known already
        }
        rest_->block = block;
        rest_->gespeichert = false;
    } else {
        rest_ = Streifenrest{block, letzter_, werVon(letzter_), false, true};
    }
    restSichern();
    anzeige_.hinweis(restText());
    abend_.warnung(restText());
}

// The note goes into the settings file: after a restart a strip that the machine sends and
// that begins as the note says is still asked about (it can then be dropped or taken, not
// added). A settings value holds 254 characters: the strip's beginning is enough to know it.
void Einleseablauf::restSichern() {
    if (!rest_) {
        ini_.IniSchreiben(ini::kWertmaschine, kRestSchluessel, QString());
        return;
    }
    QString wer = rest_->wer.left(80);
    wer.replace(u'\n', u' ').replace(u'\r', u' ').replace(u'|', u'/');
    ini_.IniSchreiben(ini::kWertmaschine, kRestSchluessel,
                      QString::fromLatin1(rest_->gespeichert ? "1|" : "0|") +
                          QString::fromLatin1(rest_->block.left(120).toBase64()) + u'|' + wer);
}

void Einleseablauf::restLaden() {
    const QString wert = ini_.IniLesen(ini::kWertmaschine, kRestSchluessel);
    const QStringList teile = wert.split(u'|');
    if (teile.size() < 3 || (teile[0] != u'0' && teile[0] != u'1')) {
        return;
    }
    const QByteArray block = QByteArray::fromBase64(teile[1].toLatin1());
    if (block.isEmpty()) {
        return;
    }
    rest_ = Streifenrest{block, nullptr, wert.section(u'|', 2).left(200), teile[0] == u'1',
                         false};
}

// The first block of a reading while a strip of an earlier reading was left in the machine.
// The machine sends what it holds first, so within this run that block is the held strip;
// after a restart only a block that matches the note is taken for it.
Streifenwahl Einleseablauf::ersterStreifen(const QByteArray& block,
                                           const std::function<void(Abendzustand&)>& einlesen) {
    if (!rest_) {
        return Streifenwahl::Uebernehmen;
    }
    const Streifenrest rest = *rest_;
    rest_.reset();
    restSichern();
    if (!rest.ausDiesemLauf && !gleicherStreifen(rest.block, block)) {
        return Streifenwahl::Uebernehmen;  // the machine no longer holds it
    }
    Abendzustand probe;
    probe.PistolenTeiler = z_.PistolenTeiler;
    einlesen(probe);
    QStringList ringe;
    for (int i = 1; i < probe.NextShotIndex && i <= Abendzustand::kSchuesse; ++i) {
        ringe << QString::number(probe.Shots[static_cast<std::size_t>(i)].Ring);
    }
    const QString jetzt = jetzt_ ? jetzt_->wer() : QStringLiteral("dieses Mitglied");
    const bool nachtragbar = rest.abend && !rest.gespeichert;
    QString text =
        QStringLiteral("Die SAM sendet zuerst den Streifen, der bei der Lesung für %1 in der "
                       "Maschine geblieben ist (%2 Schuss, Ringe %3).\n")
            .arg(rest.wer)
            .arg(ringe.size())
            .arg(ringe.join(u' '));
    if (rest.gespeichert) {
        text += QStringLiteral("Er ist dort schon gespeichert.\n");
    }
    text += QStringLiteral("\n„Verwerfen“ (Enter) bestätigt ihn der Maschine, ohne ihn zu "
                           "speichern.\n");
    const QString nachtragenKnopf =
        nachtragbar ? QStringLiteral("Zu Nr. %1 nachtragen").arg(rest.abend->nummer) : QString();
    if (nachtragbar) {
        text += QStringLiteral("„%1“ fügt seine Schüsse dem Abend von %2 an und speichert ihn.\n")
                    .arg(nachtragenKnopf, rest.abend->wer());
    }
    const QString uebernehmenKnopf =
        jetzt_ ? QStringLiteral("Für Nr. %1 übernehmen").arg(jetzt_->nummer)
               : QStringLiteral("Für dieses Mitglied übernehmen");
    text += QStringLiteral("„%1“ liest ihn für %2, das jetzt liest.").arg(uebernehmenKnopf, jetzt);

    korrekturLaeuft_ = true;  // what arrives meanwhile waits in the port
    Streifenwahl wahl = Streifenwahl::Verworfen;
    bool nachtragenAngeboten = nachtragbar;
    for (;;) {
        QStringList antworten{QStringLiteral("Verwerfen")};
        if (nachtragenAngeboten) {
            antworten << nachtragenKnopf;
        }
        antworten << uebernehmenKnopf;
        const int antwort = anzeige_.waehlen(text, antworten, 0);
        const QString gewaehlt = antwort >= 0 && antwort < antworten.size() ? antworten[antwort]
                                                                           : antworten[0];
        if (gewaehlt == uebernehmenKnopf) {
            wahl = Streifenwahl::Uebernehmen;
            break;
        }
        if (nachtragenAngeboten && gewaehlt == nachtragenKnopf) {
            if (abend_.nachtragen(*rest.abend, einlesen)) {
                wahl = Streifenwahl::Nachgetragen;
                abend_.warnung(QStringLiteral("Der Streifen wurde dem Abend von %1 nachgetragen.")
                                   .arg(rest.wer));
                break;
            }
            nachtragenAngeboten = false;  // told why; the other answers remain
            continue;
        }
        abend_.warnung(QStringLiteral("Der Streifen von %1 wurde verworfen.").arg(rest.wer));
        break;
    }
    korrekturLaeuft_ = false;
    wartenVorbei();
    return wahl;
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
