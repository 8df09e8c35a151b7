#include "machine/SamDialog.h"

#include "core/Abendzustand.h"
#include "machine/Steuerzeichen.h"

namespace {
using namespace steuer;
constexpr qsizetype kPufferGrenze = 65536;

// A bare block is complete when it ends with a CR after its six header lines and whole shots.
bool blankerBlockVollstaendig(const QByteArray& puffer) {
    const auto zeilen = puffer.count('\r');
    return puffer.endsWith('\r') && zeilen >= 6 && (zeilen - 6) % 4 == 0;
}

// NAKs come from a SAM with no card in it; no block starts with one (its lines are text).
void nakVorneWeg(QByteArray& puffer) {
    qsizetype n = 0;
    while (n < puffer.size() && puffer[n] == NAK) {
        ++n;
    }
    puffer.remove(0, n);
}
}  // namespace

void SamDialog::zuruecksetzen() {
    puffer_.clear();
    groesseBeimTick_ = -1;
    ruhigeTicks_ = 0;
    blankVorher_ = -1;
    nachNak_ = false;
    fehlversuche_ = 0;
    aufgegeben_ = false;
}

void SamDialog::starten() {
    k_.zustand().NextShotIndex = 1;
    zuruecksetzen();
    letzterBlock_.clear();
    k_.pollen(1000);
}

void SamDialog::empfangen(const QByteArray& bytes) {
    if (!k_.liest() || aufgegeben_) {
        return;  // nothing is expected between readings, nor after giving up
    }
    puffer_ += bytes;
    if (puffer_.size() > kPufferGrenze) {
        puffer_.clear();  // a flood without a block in it is noise
    }
    rahmenVerarbeiten();
}

// Takes every complete framed block; what is left is a block still coming, or bare lines.
void SamDialog::rahmenVerarbeiten() {
    while (k_.liest() && !aufgegeben_) {
        nakVorneWeg(puffer_);
        const SamRahmen r = samRahmenSuchen(puffer_, nachNak_);
        if (r.art == SamRahmen::KeinRahmen) {
            return;
        }
        if (r.art == SamRahmen::Unvollstaendig) {
            puffer_.remove(0, r.anfang);  // noise before the STX
            return;
        }
        puffer_.remove(0, r.ende);
        if (r.art == SamRahmen::PruefFehler) {
            k_.debug(r.block);
            pruefFehler();
            continue;
        }
        nachNak_ = false;
        fehlversuche_ = 0;
        ruhigeTicks_ = 0;
        k_.senden(QByteArray(1, ACK));
        blockAbgeben(r.block);
    }
}

void SamDialog::pruefFehler() {
    ruhigeTicks_ = 0;
    if (++fehlversuche_ >= kVersuche) {
        aufgeben();
        return;
    }
    nachNak_ = true;
    k_.senden(QByteArray(1, NAK));  // the machine sends the block again
}

// Three failed checks in a row: the block is not asked for again. The shots read so far
// stay, and "Einlesen beenden" stores them.
void SamDialog::aufgeben() {
    aufgegeben_ = true;
    puffer_.clear();
    nachNak_ = false;
    k_.pollen(0);
    k_.schuesseZeigen();
    const QString grund = QStringLiteral(
        "Die Daten der SAM konnten nicht fehlerfrei gelesen werden (dreimal falsche "
        "Prüfsumme).");
    k_.warnung(grund);
    k_.status(grund + QStringLiteral("\nDie gelesenen Schüsse bleiben erhalten: "
                                     "„Einlesen beenden“ speichert sie."));
}

// A block that began and has not grown for two ticks.
bool SamDialog::rahmenStockt() {
    const bool imRahmen = nachNak_ || puffer_.startsWith(STX);
    if (!imRahmen) {
        return false;
    }
    if (ruhigeTicks_ < kRuheTicks) {
        return true;  // still coming: no ENQ into the middle of it
    }
    ruhigeTicks_ = 0;
    if (puffer_.isEmpty()) {
        nachNak_ = false;  // the resend never came: ask with ENQ again
        return false;
    }
    if (puffer_.startsWith(STX) && !puffer_.contains(ETB)) {
        // STX and lines only: such a machine is read by its bare lines.
        const QByteArray block = puffer_.mid(1);
        puffer_.clear();
        nachNak_ = false;
        blockAbgeben(block);
        return true;
    }
    puffer_.clear();  // a block cut short after its ETB, or a resend without one
    pruefFehler();
    return true;
}

void SamDialog::tick() {
    if (aufgegeben_) {
        return;
    }
    rahmenVerarbeiten();
    if (!k_.liest() || aufgegeben_) {
        return;
    }
    const bool still = puffer_.size() == groesseBeimTick_;
    ruhigeTicks_ = still ? ruhigeTicks_ + 1 : 0;
    groesseBeimTick_ = puffer_.size();
    if (rahmenStockt()) {
        return;
    }
    k_.senden(QByteArray(1, ENQ));
    k_.status(QStringLiteral("Scheibe einlegen"));
    blankLesen();
}

// Bare lines: read on the poll once the block is complete or has stopped growing; a short
// burst of noise is read too (and dropped as too short), so that it cannot stand in front
// of the next block.
void SamDialog::blankLesen() {
    if (puffer_.isEmpty() || puffer_.contains(STX)) {
        return;
    }
    if (!blankerBlockVollstaendig(puffer_) && puffer_.size() != blankVorher_) {
        blankVorher_ = puffer_.size();
        return;
    }
    blankVorher_ = -1;
    const QByteArray block = puffer_;
    puffer_.clear();
    blockAbgeben(block);
}

void SamDialog::blockAbgeben(const QByteArray& block) {
    // A block the machine repeats (our ACK was lost) is stored once.
    if (block == letzterBlock_) {
        return;
    }
    letzterBlock_ = block;
    groesseBeimTick_ = -1;
    Abendzustand& z = k_.zustand();
    k_.pollen(0);
    k_.debug(block);
    samBlock(block, z);
    k_.schuesseZeigen();
    k_.korrektur();
    if (!k_.liest()) {
        return;  // finished during the hand entry
    }
    if (z.NextShotIndex < z.ShotLimit) {
        k_.pollen(1000);
        return;
    }
    z.NextShotIndex = 1;
    k_.lesenFertig();
}

void SamDialog::stillegen() {
    if (!aufgegeben_) {
        rahmenVerarbeiten();
        nakVorneWeg(puffer_);
        if (k_.liest() && !nachNak_ && !puffer_.isEmpty()) {
            // What came of a bare block before the line went is read; a framed block
            // without its end is not trusted.
            if (!puffer_.contains(STX)) {
                blockAbgeben(puffer_);
            } else if (puffer_.startsWith(STX) && !puffer_.contains(ETB)) {
                blockAbgeben(puffer_.mid(1));
            }
        }
    }
    puffer_.clear();
    nachNak_ = false;
    k_.pollen(0);
}

void SamDialog::fernsteuern() {
    k_.senden(QByteArray(1, static_cast<char>(178)));
}
