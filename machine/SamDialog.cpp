#include "machine/SamDialog.h"

#include "core/Abendzustand.h"
#include "machine/Steuerzeichen.h"

namespace {
using namespace steuer;
constexpr qsizetype kPufferGrenze = 65536;
constexpr qsizetype kKleinsterBlock = 20;  // shorter texts are noise

// A bare block is whole when its lines are the six header lines and whole shots of four
// (a last line without its CR counts as a line).
bool blankerBlockVollstaendig(const QByteArray& block) {
    const auto zeilen = block.count('\r') + (block.endsWith('\r') ? 0 : 1);
    return zeilen >= 6 && (zeilen - 6) % 4 == 0;
}

// NAKs come from a SAM with no card in it; no block starts with one (its lines are text).
void nakVorneWeg(QByteArray& puffer) {
    qsizetype n = 0;
    while (n < puffer.size() && puffer[n] == NAK) {
        ++n;
    }
    puffer.remove(0, n);
}

// The lines of what came of a block: without its STX and without what follows its ETB.
QByteArray zeilenVon(const QByteArray& bytes) {
    QByteArray b = bytes.startsWith(STX) ? bytes.mid(1) : bytes;
    const qsizetype etb = b.indexOf(ETB);
    return etb < 0 ? b : b.left(etb);
}

bool blockartig(const QByteArray& bytes) {
    return bytes.contains(STX) || bytes.size() >= kKleinsterBlock;
}

// The maker's rule can be read two ways: a held block comes again whole on an ENQ, or from
// its first data byte as after a NAK. Lines are text, so an ETB with no STX before it marks
// a block sent without its STX; both are taken.
bool ohneStxMoeglich(const QByteArray& puffer, bool nachNak) {
    const qsizetype etb = puffer.indexOf(ETB);
    return nachNak || (etb >= 0 && !puffer.left(etb).contains(STX));
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
    abgelehnt_.clear();
}

void SamDialog::starten() {
    k_.zustand().NextShotIndex = 1;
    zuruecksetzen();
    letzterBlock_.clear();
    sendungen_ = 0;
    taub_ = false;
    gelesen_ = false;
    nachlauf_ = false;
    nachlaufPuffer_.clear();
    imGeraet_.clear();
    imGeraetGespeichert_ = false;
    verworfen_.clear();
    k_.pollen(1000);
}

void SamDialog::empfangen(const QByteArray& bytes) {
    if (!k_.liest()) {
        nachkommen(bytes);
        return;
    }
    if (aufgegeben_) {
        return;  // not read after giving up: the machine keeps that block
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
        const SamRahmen r = samRahmenSuchen(puffer_, ohneStxMoeglich(puffer_, nachNak_));
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
            abgelehnt_ = r.block;
            pruefFehler();
            continue;
        }
        nachNak_ = false;
        fehlversuche_ = 0;
        ruhigeTicks_ = 0;
        abgelehnt_.clear();
        if (r.block.size() < kKleinsterBlock) {
            // checked, but too short to hold a strip: acknowledged, so that it is not kept
            k_.debug(r.block);
            k_.senden(QByteArray(1, ACK));
            continue;
        }
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
// stay, and "Einlesen beenden" stores them; the machine keeps the block.
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
        if (blankerBlockVollstaendig(block)) {
            blockAbgeben(block);
        } else {
            unvollstaendig(block);
        }
        return true;
    }
    abgelehnt_ = zeilenVon(puffer_);
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
    if (!taub_) {
        k_.status(QStringLiteral("Scheibe einlegen"));
    }
    blankLesen();
}

// Bare lines: read on the poll once the block is complete or has stopped growing; a short
// burst of noise is read too (and dropped as too short), so that it cannot stand in front
// of the next block.
void SamDialog::blankLesen() {
    if (puffer_.isEmpty() || puffer_.contains(STX)) {
        return;
    }
    const bool ganz = puffer_.endsWith('\r') && blankerBlockVollstaendig(puffer_);
    if (!ganz && puffer_.size() != blankVorher_) {
        blankVorher_ = puffer_.size();
        return;
    }
    blankVorher_ = -1;
    const QByteArray block = puffer_;
    puffer_.clear();
    if (blankerBlockVollstaendig(block) || block.size() < kKleinsterBlock) {
        blockAbgeben(block);
    } else {
        unvollstaendig(block);
    }
}

// A block that stopped in the middle: none of it is stored, and it is not acknowledged, so
// that a machine that keeps it sends it again whole.
void SamDialog::unvollstaendig(const QByteArray& block) {
    k_.debug(block);
    const QString text =
        QStringLiteral("Ein Streifen kam nur zum Teil an (%1 Byte) und wurde ganz verworfen; "
                       "die SAM wird erneut nach ihm gefragt.")
            .arg(block.size());
    k_.warnung(text);
    k_.status(text);
}

void SamDialog::blockAbgeben(const QByteArray& block) {
    if (block.size() < kKleinsterBlock) {
        k_.debug(block);
        return;  // noise, nothing the machine waits for
    }
    // Taken: the machine may let the strip go. A machine that does not wait for this
    // ignores it (it is the byte the "SER" button sends at any time).
    k_.senden(QByteArray(1, ACK));
    if (block == letzterBlock_) {
        // The same block again (our ACK was lost): stored once.
        if (++sendungen_ >= kTaubNach && !taub_) {
            taub_ = true;
            const QString text =
                QStringLiteral(
                    "Der Streifen kommt an (%1-mal dieselben Daten), aber die SAM nimmt die "
                    "Bestätigung nicht an und sendet ihn immer wieder. Seine Schüsse sind "
                    "einmal übernommen.\nBitte Kabel und Einstellung der SAM prüfen; "
                    "„Einlesen beenden“ speichert die gelesenen Schüsse.")
                    .arg(sendungen_);
            k_.warnung(text);
            k_.status(text);
        }
        return;
    }
    letzterBlock_ = block;
    sendungen_ = 1;
    taub_ = false;
    groesseBeimTick_ = -1;
    Abendzustand& z = k_.zustand();
    k_.pollen(0);
    k_.debug(block);
    if (!gelesen_) {
        gelesen_ = true;
        const Streifenwahl wahl =
            k_.ersterStreifen(block, [&block](Abendzustand& a) { samBlock(block, a); });
        if (!k_.liest()) {
            return;  // finished while the official was asked
        }
        if (wahl != Streifenwahl::Uebernehmen) {
            k_.pollen(1000);
            return;
        }
    }
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
    festhalten();
    k_.lesenFertig();
}

// The reading ends: what the machine sent and was not acknowledged, it still holds. What
// comes after this answers the reading's last ENQ and is held too.
void SamDialog::festhalten() {
    nakVorneWeg(puffer_);
    if (aufgegeben_ || nachNak_) {
        imGeraet_ = abgelehnt_.isEmpty() ? zeilenVon(puffer_) : abgelehnt_;
        imGeraetGespeichert_ = false;
    } else if (blockartig(puffer_)) {
        imGeraet_ = zeilenVon(puffer_);
        imGeraetGespeichert_ = false;
    } else if (taub_ && imGeraet_.isEmpty()) {
        imGeraet_ = letzterBlock_;
        imGeraetGespeichert_ = true;
    }
    puffer_.clear();
    nachNak_ = false;
    nachlauf_ = true;
    nachlaufPuffer_.clear();
}

void SamDialog::beenden(bool maschineFertig) {
    (void)maschineFertig;
    k_.pollen(0);
    festhalten();
}

QByteArray SamDialog::liegtNoch(bool* gespeichert) const {
    if (gespeichert) {
        *gespeichert = imGeraetGespeichert_;
    }
    return imGeraet_;
}

void SamDialog::nachkommen(const QByteArray& bytes) {
    if (!nachlauf_) {
        return;  // nothing was asked for
    }
    nachlaufPuffer_ += bytes;
    if (nachlaufPuffer_.size() > kPufferGrenze) {
        nachlaufPuffer_.clear();
    }
    nakVorneWeg(nachlaufPuffer_);
    const SamRahmen r = samRahmenSuchen(nachlaufPuffer_, ohneStxMoeglich(nachlaufPuffer_, false));
    if (r.art == SamRahmen::Gut && r.block == letzterBlock_ && !taub_) {
        // The block stored last, once more (our ACK was lost): acknowledged again.
        nachlaufPuffer_.remove(0, r.ende);
        k_.senden(QByteArray(1, ACK));
        return;
    }
    if (blockartig(nachlaufPuffer_)) {
        imGeraet_ = r.art == SamRahmen::Gut ? r.block : zeilenVon(nachlaufPuffer_);
        imGeraetGespeichert_ = false;
        k_.nachgekommen(imGeraet_);
    }
}

// The line is gone: complete framed blocks are taken; a block cut off in the middle is
// dropped whole (the machine keeps it). A bare block whose lines are all there is read.
void SamDialog::stillegen() {
    if (!aufgegeben_ && k_.liest()) {
        rahmenVerarbeiten();
        nakVorneWeg(puffer_);
        if (k_.liest() && !nachNak_ && !puffer_.isEmpty() && !puffer_.contains(STX) &&
            puffer_.endsWith('\r') && blankerBlockVollstaendig(puffer_)) {
            const QByteArray block = puffer_;
            puffer_.clear();
            blockAbgeben(block);
        }
        nakVorneWeg(puffer_);
        if (k_.liest() && blockartig(puffer_)) {
            verworfen_ = QStringLiteral(
                             "Der Streifen, der gerade kam, brach nach %1 Byte ab und wurde "
                             "ganz verworfen.")
                             .arg(puffer_.size());
            k_.debug(puffer_);
        }
    }
    if (k_.liest()) {
        festhalten();
    }
    puffer_.clear();
    nachNak_ = false;
    k_.pollen(0);
}

void SamDialog::fernsteuern() {
    k_.senden(QByteArray(1, static_cast<char>(178)));
}
