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
}  // namespace

void SamDialog::starten() {
    k_.zustand().NextShotIndex = 1;
    puffer_.clear();
    pufferVorher_ = -1;
    letzterBlock_.clear();
    k_.pollen(1000);
}

void SamDialog::empfangen(const QByteArray& bytes) {
    if (!k_.liest()) {
        return;  // nothing is expected between readings
    }
    puffer_ += bytes;
    verarbeiten(false);
}

void SamDialog::tick() {
    k_.senden(QByteArray(1, ENQ));
    k_.status(QStringLiteral("Scheibe einlegen"));
    verarbeiten(true);
}

void SamDialog::verarbeiten(bool tick) {
    for (;;) {
        const SamRahmen r = samRahmenSuchen(puffer_);
        switch (r.art) {
            case SamRahmen::Unvollstaendig:
                if (puffer_.size() > kPufferGrenze) {
                    puffer_.clear();
                }
                return;
            case SamRahmen::PruefFehler:
                puffer_.remove(0, r.ende);
                k_.debug(r.block);
                k_.senden(QByteArray(1, NAK));  // the machine sends the block again
                continue;
            case SamRahmen::Gut:
                puffer_.remove(0, r.ende);
                k_.senden(QByteArray(1, ACK));
                blockAbgeben(r.block);
                if (!k_.liest()) {
                    return;
                }
                continue;
            case SamRahmen::KeinRahmen:
                break;
        }
        break;
    }
    // Bare lines: read on the poll once the block is complete or has stopped growing; a
    // short burst of noise is read too (and dropped as too short), so that it cannot stand
    // in front of the next block. NAKs between blocks are no part of one.
    puffer_.replace(QByteArray(1, NAK), QByteArray());
    if (!tick || puffer_.isEmpty()) {
        return;
    }
    if (!blankerBlockVollstaendig(puffer_) && puffer_.size() != pufferVorher_) {
        pufferVorher_ = puffer_.size();
        return;
    }
    pufferVorher_ = -1;
    const QByteArray block = puffer_;
    puffer_.clear();
    blockAbgeben(block);
}

void SamDialog::blockAbgeben(const QByteArray& block) {
    // A block the machine repeats (its ACK was lost, or it answers every ENQ with it) is
    // stored once.
    if (block == letzterBlock_) {
        return;
    }
    letzterBlock_ = block;
    Abendzustand& z = k_.zustand();
    k_.pollen(0);
    k_.debug(block);
    samBlock(block, z);
    k_.schuesseZeigen();
    k_.korrektur();
    if (z.NextShotIndex < z.ShotLimit) {
        k_.pollen(1000);
        return;
    }
    z.NextShotIndex = 1;
    k_.lesenFertig();
}

void SamDialog::stillegen() {
    verarbeiten(false);
    puffer_.replace(QByteArray(1, NAK), QByteArray());
    if (k_.liest() && samRahmenSuchen(puffer_).art == SamRahmen::KeinRahmen && !puffer_.isEmpty()) {
        const QByteArray rest = puffer_;
        puffer_.clear();
        blockAbgeben(rest);
    }
    puffer_.clear();
    k_.pollen(0);
}

void SamDialog::fernsteuern() {
    k_.senden(QByteArray(1, static_cast<char>(178)));
}
