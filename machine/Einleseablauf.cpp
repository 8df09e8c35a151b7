#include "machine/Einleseablauf.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>

#include "core/Abendzustand.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Zahlen.h"
#include "platform/Cp1252.h"
#include "platform/SerialLine.h"

Q_LOGGING_CATEGORY(lcSeriell, "zielkunst.seriell")

namespace {
constexpr char ENQ = 0x05;
constexpr char STX = 0x02;
constexpr char ACK = 0x06;
constexpr char NAK = 0x15;
constexpr char CR = 0x0D;
constexpr int kTraceLaenge = 2000;  // the handshake trace shows its newest part

const QString kFertig = QStringLiteral("Fertig");

QByteArray bytesMitPruefzeichen(const QString& text) {
    return cp1252::encode(text) + static_cast<char>(cp1252::byteOf(Pruefzeichen(text))) + CR;
}
}  // namespace

Einleseablauf::Einleseablauf(SerialLine& line, Ini& ini, Abendzustand& zustand,
                             EinleseAnzeige& anzeige, Abendfenster& abend, QObject* parent)
    : QObject(parent), line_(line), ini_(ini), z_(zustand), anzeige_(anzeige), abend_(abend) {
    timer1_.setInterval(1000);
    timer2_.setInterval(1000);
    rm3Ruhe_.setSingleShot(true);
    rm3Ruhe_.setInterval(300);
    connect(&timer1_, &QTimer::timeout, this, &Einleseablauf::timer1Tick);
    connect(&timer2_, &QTimer::timeout, this, &Einleseablauf::timer2Tick);
    connect(&rm3Ruhe_, &QTimer::timeout, this, [this] {
        rm3_.flush(z_, [this](Maschinenereignis e) { ereignis(e); });
        korrekturVerfahren();
    });
    connect(&line_, &SerialLine::readyRead, this, &Einleseablauf::empfangen);
    connect(&line_, &SerialLine::verkehr, this, [this](char richtung, const QByteArray& bytes) {
        if (z_.DebugAnzeige) {
            qCInfo(lcSeriell) << richtung << bytes.toHex(' ');
        }
    });
}

QString Einleseablauf::leitungsEinstellung() const {
    if (z_.MachineName == ini::kMaschineSam) {
        return QStringLiteral("9600,N,8,1");
    }
    if (z_.MachineName == ini::kMaschineRm3Win) {
        return ini_.IniLesen(ini::kWertmaschine, ini::kSpeed) == QLatin1String("L")
                   ? QStringLiteral("9600,N,8,1")
                   : QStringLiteral("38400,N,8,1");
    }
    return QStringLiteral("2400,N,8,1");
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
    line_.setDtr(z_.MachineName != ini::kMaschineRm3Win);
    return true;
}

bool Einleseablauf::portOffen() {
    if (line_.isOpen()) {
        return true;
    }
    QString fehler;
    if (line_.open(line_.port(), leitungsEinstellung(), &fehler)) {
        return true;
    }
    abend_.warnung(fehler);
    return false;
}

void Einleseablauf::senden(const QByteArray& bytes) {
    line_.write(bytes);
}

void Einleseablauf::debug(const QByteArray& text) {
    if (z_.DebugAnzeige) {
        anzeige_.debugAnhaengen(QLatin1Char('\r') + cp1252::decode(text));
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

void Einleseablauf::zuRMIII_WIN(const QString& text) {
    pendingMessage_ = bytesMitPruefzeichen(text);
    if (!portOffen()) {
        return;
    }
    senden(QByteArray(1, ENQ));
    timer2_.start(2000);
    handshakeStep_ = 1;
    // The handshake runs on the poll timer; outside a reading it runs until the message is out.
    if (!timer1_.isActive()) {
        timer1_.start(200);
    }
}

void Einleseablauf::ZuSAM(const QByteArray& bytes) {
    senden(bytes);
}

void Einleseablauf::fernsteuern() {
    if (z_.MachineName == ini::kMaschineRm3Win) {
        line_.setSettings(QStringLiteral("2400,N,8,1"));
        zuRMIII_WIN(QStringLiteral("W"));
        line_.setSettings(leitungsEinstellung());
    } else if (z_.MachineName == ini::kMaschineSam) {
        ZuSAM(QByteArray(1, static_cast<char>(178)));
    } else {
        ZuRM(QStringLiteral("V"));
    }
}

void Einleseablauf::normal() {
    ZuRM(QStringLiteral("EXIT"));
}

void Einleseablauf::sendeAck() {
    senden(QByteArray(1, ACK));
}

// ---- a reading ----------------------------------------------------------------------

void Einleseablauf::auswertung_starten() {
    readCounter_ = 0;
    liest_ = true;
    beendenVerschoben_ = false;
    rm3_.zuruecksetzen();
    rxBuffer_.clear();
    samPuffer_.clear();
    if (z_.MachineName == ini::kMaschineRm3Win) {
        line_.setDtr(false);
        pendingMessage_ = bytesMitPruefzeichen(z_.ControlString);
        if (portOffen()) {
            z_.TargetType = z_.ControlString.contains(QLatin1String("LP")) ? QStringLiteral("LP")
                                                                           : QStringLiteral("LG");
            senden(QByteArray(1, ENQ));
            timer2_.start(2000);
            handshakeStep_ = 1;
            timer1_.start(200);
        }
    } else if (z_.MachineName == ini::kMaschineSam) {
        z_.NextShotIndex = 1;
        line_.setDtr(true);
        timer1_.start(1000);
    } else {
        ZuRM(z_.ProgramCode);
        z_.TargetType =
            z_.ProgramCode.startsWith(u'2') ? QStringLiteral("LP") : QStringLiteral("LG");
        line_.setDtr(true);
        timer1_.stop();
    }
    anzeige_.status(QStringLiteral("Bitte erste Scheibe einlegen"));
}

void Einleseablauf::empfangen() {
    if (timer1_.isActive() || korrekturLaeuft_) {
        return;  // polled machines are read by their timer; a hand entry comes first
    }
    const QByteArray text = line_.readAll();
    if (text.isEmpty()) {
        return;
    }
    if (z_.MachineName == ini::kMaschineRm3) {
        debug(text);
        rm3_.empfangen(text, z_, [this](Maschinenereignis e) { ereignis(e); });
        korrekturVerfahren();
        if (rm3_.hatRest()) {
            rm3Ruhe_.start();
        }
    } else if (z_.MachineName == ini::kMaschineSam) {
        samPuffer_ += text;
        samTick();
    }
    // RM III WIN data outside the poll timer is dropped.
}

void Einleseablauf::ereignis(Maschinenereignis e) {
    switch (e) {
        case Maschinenereignis::KarteEnde:
            karteEnde();
            break;
        case Maschinenereignis::LesenEnde:
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
    abend_.serienUndAnzeige();
    anzeige_.status(QStringLiteral("Bitte nächste Scheibe einlegen"));
}

void Einleseablauf::beenden() {
    if (korrekturLaeuft_) {
        beendenVerschoben_ = true;  // finished as soon as the hand entry is done
        return;
    }
    timer1_.stop();
    rm3Ruhe_.stop();
    korrekturVerfahren();
    if (anzeige_.status() != kFertig && z_.MachineName == ini::kMaschineRm3Win) {
        zuRMIII_WIN(QStringLiteral("ABR"));
    }
    lesenFertig();
}

void Einleseablauf::lesenFertig() {
    anzeige_.status(kFertig);
    liest_ = false;
    abend_.serienUndAnzeige();
    abend_.berechnenUndSpeichern();
    anzeige_.verbergen();
    abend_.nachVorne();
    emit gelesen();
}

void Einleseablauf::korrekturVerfahren() {
    if (korrekturLaeuft_) {
        return;
    }
    korrekturLaeuft_ = true;
    bool korrigiert = false;
    int serienende = 0;
    for (int slot = 1; slot <= Abendzustand::kSchuesse; ++slot) {
        ShotSlot& s = z_.Shots[static_cast<std::size_t>(slot)];
        if (s.CorrectionFlag) {
            anzeige_.status(QStringLiteral("Schuss") + zahlTextBlank(slot) +
                            QStringLiteral(" angeben"));
            const int wert = anzeige_.korrekturErfragen(slot, s.Ring);
            s.Ring = static_cast<std::int16_t>(std::clamp(wert, 0, 10));
            s.X = 0;
            s.Y = static_cast<float>(10 - s.Ring);
            s.Teiler = ShotSlot::kKeinTeiler;
            s.CorrectionFlag = false;
            korrigiert = true;
        }
        if (s.ValidFlag) {
            serienende = ((slot - 1) / 10 + 1) * 10;
        }
    }
    if (korrigiert && serienende > 0) {
        int summe = 0;
        for (int slot = serienende - 9; slot <= serienende; ++slot) {
            summe += z_.Shots[static_cast<std::size_t>(slot)].Ring;
        }
        ZuRM(QString::number(serienende) + QLatin1Char('\r') + QString::number(summe) +
             QStringLiteral("\rkorr\rEdit"));
    }
    korrekturLaeuft_ = false;
    if (beendenVerschoben_) {
        beendenVerschoben_ = false;
        QTimer::singleShot(0, this, &Einleseablauf::beenden);
    } else if (line_.bytesWaiting() > 0 && !timer1_.isActive()) {
        QTimer::singleShot(0, this, &Einleseablauf::empfangen);  // what came in meanwhile
    }
}

// ---- polling ------------------------------------------------------------------------

void Einleseablauf::timer1Tick() {
    if (korrekturLaeuft_) {
        return;
    }
    if (z_.MachineName == ini::kMaschineSam) {
        senden(QByteArray(1, ENQ));
        anzeige_.status(QStringLiteral("Scheibe einlegen"));
        // Everything waiting is taken: a short burst of noise left in the port would
        // otherwise stand in front of the next block.
        if (line_.bytesWaiting() > 0) {
            samPuffer_ += line_.readAll();
        }
        samTick();
    } else {
        winTick();
    }
}

void Einleseablauf::timer2Tick() {
    if (z_.MachineName == ini::kMaschineRm3Win) {
        senden(QByteArray(1, ENQ));
    }
}

void Einleseablauf::winTick() {
    if (handshakeStep_ < 4) {
        const QByteArray input = line_.readAll();
        if (input == QByteArray(1, STX) && handshakeStep_ == 1) {
            timer2_.stop();
            outMessage_ = bytesMitPruefzeichen(QStringLiteral("SNR="));
            senden(outMessage_);
            handshakeStep_ = 2;
            return;
        }
        if (input.contains("SNR=") && handshakeStep_ == 2) {
            outMessage_ = QByteArray(1, ACK) + ENQ;
            senden(outMessage_);
            handshakeStep_ = 3;
            return;
        }
        if (input == QByteArray(1, STX) && handshakeStep_ == 3) {
            outMessage_ = pendingMessage_;
            senden(outMessage_);
            handshakeStep_ = 4;
            if (liest_) {
                timer1_.start(100);
            } else {
                timer1_.stop();  // a command outside a reading is delivered: done
            }
            return;
        }
        if (input == QByteArray(1, NAK)) {
            abend_.warnung(QStringLiteral("NAK Empfangen (Fehlermeldung RM)"));
        } else {
            debugTrace_ += QLatin1Char(',') + cp1252::decode(input) + QLatin1Char('(');
            for (char c : input) {
                debugTrace_ += QLatin1Char(',') + QString::number(static_cast<unsigned char>(c));
            }
            debugTrace_ += QLatin1Char(')');
            if (debugTrace_.size() > kTraceLaenge) {
                debugTrace_ = debugTrace_.right(kTraceLaenge);
            }
            anzeige_.debugLabel(QStringLiteral("(A:%1),").arg(readCounter_) + debugTrace_);
        }
    }
    if (line_.bytesWaiting() > 3 || rxBuffer_.size() > 3) {
        rxBuffer_ += line_.readAll();
    }
    const qsizetype cr = rxBuffer_.indexOf(CR);
    if (cr < 0) {
        return;
    }
    if (cr < 3) {
        rxBuffer_.remove(0, cr + 1);  // too short to be a line; it must not block the rest
        return;
    }
    senden(QByteArray(1, ACK));
    const QByteArray line = rxBuffer_.left(cr);
    rxBuffer_.remove(0, cr + 1);
    winZeileAbgeben(cp1252::decode(line));
}

void Einleseablauf::winZeileAbgeben(const QString& line) {
    if (line.contains(QLatin1String("WSC="))) {
        return;
    }
    if (line.contains(QLatin1String("WSE"))) {
        anzeige_.status(kFertig);
        beenden();
        return;
    }
    if (line.contains(QLatin1String("SCH=")) && !line.contains(QLatin1String("STAF"))) {
        debug(cp1252::encode(line));
        rm3WinZeile(line, z_, [this](Maschinenereignis e) { ereignis(e); });
        abend_.serienUndAnzeige();
    }
}

namespace {
// A SAM block is complete when it ends with a CR after its six header lines and whole shots.
bool samBlockVollstaendig(const QByteArray& puffer) {
    const auto zeilen = puffer.count('\r');
    return puffer.endsWith('\r') && zeilen >= 6 && (zeilen - 6) % 4 == 0;
}
}  // namespace

void Einleseablauf::samTick() {
    if (samPuffer_.isEmpty()) {
        return;
    }
    // A block may come in pieces: wait for the rest unless this tick brought nothing new.
    // A burst that is too short to be a block is dropped by the parser.
    if (!samBlockVollstaendig(samPuffer_) && samPuffer_.size() != samPufferVorher_) {
        samPufferVorher_ = samPuffer_.size();
        return;
    }
    samPufferVorher_ = -1;
    const QByteArray block = samPuffer_;
    samPuffer_.clear();
    timer1_.stop();
    debug(block);
    samBlock(block, z_);
    abend_.serienUndAnzeige();
    if (z_.NextShotIndex < z_.ShotLimit) {
        timer1_.start(1000);
        return;
    }
    z_.NextShotIndex = 1;
    lesenFertig();
}
