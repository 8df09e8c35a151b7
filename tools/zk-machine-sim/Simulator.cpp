#include "Simulator.h"

// What every machine shares: the line, reading bytes into lines and control characters, and
// the line going away. Each machine's dialogue is in a file of its own.

#include <QTimer>

#include <cstdio>

#include "machine/Steuerzeichen.h"

namespace {
using namespace steuer;

QByteArray sichtbar(const QByteArray& bytes) {
    QByteArray out;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7f) {
            out += '<' + QByteArray::number(u, 16).rightJustified(2, '0') + '>';
        } else {
            out += c;
        }
    }
    return out;
}
}  // namespace

Simulator::Simulator(Art art, std::vector<SimKarte> karten, Fehler fehler,
                     std::unique_ptr<Leitung> leitung)
    : art_(art),
      karten_(std::move(karten)),
      fehler_(fehler),
      ausgang_(fehler.geteilt, fehler.seed),
      leitung_(std::move(leitung)) {
    winWiederholung_.setInterval(200);
    winWiederholung_.setSingleShot(true);
    connect(&winWiederholung_, &QTimer::timeout, this, &Simulator::winZeileSenden);
    connect(&ausgang_, &Ausgang::geschrieben, this, &Simulator::geschrieben);
    connect(leitung_.get(), &Leitung::empfangen, this, &Simulator::lesbar);
    connect(leitung_.get(), &Leitung::verloren, this, &Simulator::verloren);
}

Simulator::~Simulator() {
    ausgang_.setLeitung(nullptr);
}

QString Simulator::oeffnen() {
    const QString name = leitung_->oeffnen();
    if (!name.isEmpty()) {
        ausgang_.setLeitung(leitung_.get());
    }
    return name;
}

void Simulator::melde(const QByteArray& was, const QByteArray& text) {
    std::printf("%s %s\n", was.constData(), sichtbar(text).constData());
    std::fflush(stdout);
}

void Simulator::schreiben(const QByteArray& bytes) {
    ausgang_.schreiben(bytes, false);
}

// A serial line delivers arbitrary pieces: with the fault switched on every record goes out
// in pieces of 1 to 8 bytes.
void Simulator::schreibeTeile(const QByteArray& bytes, std::function<void()> danach) {
    ausgang_.schreiben(bytes, true, std::move(danach));
}

void Simulator::geschrieben(const QByteArray& text) {
    melde("TX", text);
    zeilenGesendet_ += static_cast<int>(text.count(CR));
    if (fehler_.abbruchNach > 0 && zeilenGesendet_ >= fehler_.abbruchNach) {
        QTimer::singleShot(0, this, &Simulator::leitungZiehen);
    }
}

// The adapter is pulled: the line closes and the program's side reads errors.
void Simulator::leitungZiehen() {
    if (!leitung_->offen()) {
        return;
    }
    leitung_->ziehen();
    ausgang_.verwerfen();
    ausgang_.setLeitung(nullptr);
    winWiederholung_.stop();
    melde("GETRENNT", {});
}

// The line failed on its own: what was not out yet is lost, as on a machine.
void Simulator::verloren() {
    ausgang_.verwerfen();
    ausgang_.setLeitung(nullptr);
    winWiederholung_.stop();
    std::fprintf(stderr, "%s\n", qPrintable(leitung_->fehler()));
    melde("GETRENNT", {});
}

void Simulator::lesbar(const QByteArray& bytes) {
    for (char c : bytes) {
        empfangen(c);
    }
}

void Simulator::empfangen(char c) {
    if (c == CR) {
        const QByteArray zeile = zeile_;
        zeile_.clear();
        melde("RX", zeile);
        zeileEmpfangen(zeile);
        return;
    }
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 178) {
        melde("RX", QByteArray(1, c));
        steuerzeichen(c);
        return;
    }
    zeile_ += c;
}

void Simulator::steuerzeichen(char c) {
    switch (art_) {
        case Art::Rm3:
            return;  // the RM III knows no control characters from the program
        case Art::Rm3Win:
            winSteuerzeichen(c);
            return;
        case Art::Sam:
            samSteuerzeichen(c);
            return;
    }
}

void Simulator::zeileEmpfangen(const QByteArray& zeile) {
    switch (art_) {
        case Art::Rm3:
            rm3Zeile(zeile);
            return;
        case Art::Rm3Win:
            winZeile(zeile);
            return;
        case Art::Sam:
            return;  // a SAM is driven by control characters only
    }
}
