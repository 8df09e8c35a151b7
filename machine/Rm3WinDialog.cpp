#include "machine/Rm3WinDialog.h"

#include "core/Abendzustand.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Zahlen.h"
#include "machine/Steuerzeichen.h"
#include "platform/Cp1252.h"

namespace {
using namespace steuer;
constexpr int kTraceLaenge = 2000;          // the handshake trace shows its newest part
constexpr qsizetype kPufferGrenze = 65536;  // input that never forms a line is noise

QByteArray mitPruefzeichen(const QString& text) {
    return cp1252::encode(text) + static_cast<char>(cp1252::byteOf(Pruefzeichen(text))) + CR;
}

// A data line ends in its check character; a line without one is taken whole.
QByteArray ohnePruefzeichen(const QByteArray& line) {
    if (line.size() < 2) {
        return line;
    }
    const QByteArray rest = line.chopped(1);
    const char erwartet = static_cast<char>(cp1252::byteOf(Pruefzeichen(cp1252::decode(rest))));
    return line.back() == erwartet ? rest : line;
}
}  // namespace

Rm3WinDialog::Rm3WinDialog(Lesekontext& k) : k_(k) {
    enq_.setInterval(2000);
    QObject::connect(&enq_, &QTimer::timeout, [this] { wachhund(); });
}

QString Rm3WinDialog::leitungsEinstellung() const {
    return k_.ini().IniLesen(ini::kWertmaschine, ini::kSpeed) == QLatin1String("L")
               ? QStringLiteral("9600,N,8,1")
               : QStringLiteral("38400,N,8,1");
}

void Rm3WinDialog::zuRMIII_WIN(const QString& text) {
    pending_ = mitPruefzeichen(text);
    hs_.clear();
    if (!k_.portOffen()) {
        return;
    }
    k_.senden(QByteArray(1, ENQ));
    versuche_ = 0;
    enq_.start();
    step_ = 1;
}

void Rm3WinDialog::starten() {
    Abendzustand& z = k_.zustand();
    rx_.clear();
    letzteZeile_.clear();
    z.TargetType =
        z.ControlString.contains(QLatin1String("LP")) ? QStringLiteral("LP") : QStringLiteral("LG");
    zuRMIII_WIN(z.ControlString);
    k_.pollen(200);
}

void Rm3WinDialog::empfangen(const QByteArray& bytes) {
    if (step_ < 4) {
        hs_ += bytes;
        if (!handschlag()) {
            spur(bytes);
        }
        return;
    }
    if (!k_.liest()) {
        nachDemLesen(bytes);
        return;
    }
    rx_ += bytes;
    if (rx_.size() > kPufferGrenze) {
        rx_.clear();
    }
}

// The machine's answers are looked for in whatever pieces they come, so that an answer
// split across two reads, or a line the machine repeats, cannot stall the handshake.
bool Rm3WinDialog::handschlag() {
    bool weiter = false;
    if (hs_.contains(NAK)) {
        hs_.replace(QByteArray(1, NAK), QByteArray());
        k_.warnung(QStringLiteral("NAK Empfangen (Fehlermeldung RM)"));
    }
    while (step_ < 4) {
        if (step_ == 1 || step_ == 3) {
            // before the STX may stand noise or, in step 3, the serial number line again
            const qsizetype stx = hs_.indexOf(STX);
            if (stx < 0) {
                break;
            }
            hs_.remove(0, stx + 1);
            if (step_ == 1) {
                k_.senden(mitPruefzeichen(QStringLiteral("SNR=")));
                step_ = 2;
            } else {
                k_.senden(pending_);
                step_ = 4;
                enq_.stop();
                if (k_.liest()) {
                    rx_ = hs_;  // the first data may follow at once
                    k_.pollen(100);
                } else {
                    k_.pollen(0);  // a command outside a reading is delivered: done
                }
                hs_.clear();
            }
        } else {
            const qsizetype snr = hs_.indexOf("SNR=");
            const qsizetype cr = snr < 0 ? -1 : hs_.indexOf(CR, snr);
            if (cr < 0) {
                break;
            }
            hs_.remove(0, cr + 1);
            k_.senden(QByteArray(1, ACK) + ENQ);
            step_ = 3;
        }
        versuche_ = 0;
        weiter = true;
    }
    if (hs_.size() > kPufferGrenze) {
        hs_.clear();
    }
    return weiter;
}

void Rm3WinDialog::spur(const QByteArray& input) {
    trace_ += QLatin1Char(',') + cp1252::decode(input) + QLatin1Char('(');
    for (char c : input) {
        trace_ += QLatin1Char(',') + QString::number(static_cast<unsigned char>(c));
    }
    trace_ += QLatin1Char(')');
    if (trace_.size() > kTraceLaenge) {
        trace_ = trace_.right(kTraceLaenge);
    }
    k_.debugLabel(QStringLiteral("(A:0),") + trace_);
}

void Rm3WinDialog::wachhund() {
    if (step_ >= 4) {
        enq_.stop();
        return;
    }
    if (++versuche_ > kVersuche) {
        enq_.stop();
        step_ = 4;
        const QString text = QStringLiteral(
            "Die Ringlesemaschine antwortet nicht. Bitte Kabel, Schnittstelle und "
            "Gerät prüfen und das Einlesen neu starten.");
        k_.warnung(text);
        if (k_.liest()) {
            k_.status(text);
        }
        return;
    }
    if (step_ == 1) {
        k_.senden(QByteArray(1, ENQ));
    }
}

void Rm3WinDialog::tick() {
    if (step_ < 4) {
        return;  // the handshake moves with what arrives
    }
    const qsizetype cr = rx_.indexOf(CR);
    if (cr < 0) {
        return;
    }
    if (cr < 3) {
        rx_.remove(0, cr + 1);  // too short to be a line; it must not block the rest
        return;
    }
    k_.senden(QByteArray(1, ACK));
    const QByteArray line = rx_.left(cr);
    rx_.remove(0, cr + 1);
    // A line whose ACK came late is sent again; it counts once.
    if (line == letzteZeile_) {
        return;
    }
    letzteZeile_ = line;
    zeileAbgeben(ohnePruefzeichen(line));
}

// Nothing is read between readings. Only the last line of a reading, sent again because
// its ACK came too late, is acknowledged once more, so that the machine stops sending it.
void Rm3WinDialog::nachDemLesen(const QByteArray& bytes) {
    if (step_ < 4 || letzteZeile_.isEmpty()) {
        return;
    }
    rx_ += bytes;
    qsizetype cr;
    while ((cr = rx_.indexOf(CR)) >= 0) {
        if (rx_.left(cr) == letzteZeile_) {
            k_.senden(QByteArray(1, ACK));
        }
        rx_.remove(0, cr + 1);
    }
    if (rx_.size() > 256) {
        rx_.clear();
    }
}

void Rm3WinDialog::zeileAbgeben(const QByteArray& bytes) {
    const QString line = cp1252::decode(bytes);
    if (line.contains(QLatin1String("WSC="))) {
        return;
    }
    if (line.contains(QLatin1String("WSE"))) {
        k_.ereignis(Maschinenereignis::LesenEnde);
        return;
    }
    if (line.contains(QLatin1String("SCH=")) && !line.contains(QLatin1String("STAF"))) {
        k_.debug(bytes);
        rm3WinZeile(line, k_.zustand(), [this](Maschinenereignis e) { k_.ereignis(e); });
        k_.schuesseZeigen();
    }
}

void Rm3WinDialog::beenden(bool maschineFertig) {
    if (!maschineFertig) {
        zuRMIII_WIN(QStringLiteral("ABR"));
    }
}

void Rm3WinDialog::stillegen() {
    enq_.stop();
    if (step_ == 4) {
        while (k_.liest() && rx_.contains(CR)) {
            tick();
        }
    }
    step_ = 4;
    hs_.clear();
    rx_.clear();
}

void Rm3WinDialog::fernsteuern() {
    k_.leitungEinstellen(QStringLiteral("2400,N,8,1"));
    zuRMIII_WIN(QStringLiteral("W"));
    k_.leitungEinstellen(leitungsEinstellung());
}
