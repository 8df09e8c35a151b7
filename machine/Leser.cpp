#include "machine/Leser.h"

#include <QStringList>

#include <cmath>

#include "core/Abendzustand.h"
#include "core/Zahlen.h"
#include "machine/Steuerzeichen.h"
#include "platform/Cp1252.h"

namespace {

constexpr int kHoechstensZeilen = 120;  // lines taken from one text

bool istLp(const Abendzustand& z) {
    return z.TargetType == QLatin1String("LP");
}

float mitPistolenTeiler(double teiler, const Abendzustand& z) {
    if (istLp(z) && z.PistolenTeiler != 0.0f) {
        teiler /= z.PistolenTeiler;
    }
    return static_cast<float>(teiler);
}

// Slot numbers from a machine; only 0..60 fit the card.
ShotSlot* slotAus(double nummer, Abendzustand& z) {
    if (!(nummer >= -0.5 && nummer < 60.5)) {
        return nullptr;
    }
    const int i = static_cast<int>(rundeGerade(nummer));
    return i == 0 ? &z.Shots[0] : z.shot(i);
}

float endlich(double v) {
    return std::isfinite(v) && std::fabs(v) < 1e9 ? static_cast<float>(v) : 0.0f;
}

}  // namespace

bool ringAusText(const QString& text, std::int16_t* ring) {
    const QString t = text.trimmed();
    const qsizetype ziffer = t.startsWith(u'+') || t.startsWith(u'-') ? 1 : 0;
    if (t.size() <= ziffer || !t[ziffer].isDigit()) {
        return false;  // "?.?", "??": the machine could not score the shot
    }
    const double v = rundeGerade(Zahlwert(t));
    if (!(v >= 0 && v <= 10)) {
        return false;
    }
    *ring = static_cast<std::int16_t>(v);
    return true;
}

// ---- RM III -------------------------------------------------------------------------

void Rm3Leser::zeile(const QString& roh, Abendzustand& z, const Ereignisempfaenger& melde) {
    QString line = roh;
    line.remove(u'\n');  // a CR LF machine leaves the LF at the start of the next line
    if (line.contains(u';')) {
        const QStringList felder = line.split(u';');
        if (felder.size() < 6) {
            return;  // fewer than five fields: no shot record
        }
        ShotSlot* s = slotAus(Zahlwert(felder[0]), z);
        if (s == nullptr) {
            return;
        }
        s->ValidFlag = true;
        std::int16_t ring = 0;
        const bool lesbar = ringAusText(felder[1], &ring);
        if (lesbar) {
            s->Ring = ring;
        }
        if (felder[2] != QLatin1String("-")) {
            s->Teiler = mitPistolenTeiler(endlich(Zahlwert(felder[2])), z);
        }
        s->X = endlich(KommaZuPunkt(felder[3]));
        s->Y = endlich(KommaZuPunkt(felder[4]));
        // An unreadable ring is asked for by hand, marked or not.
        s->CorrectionFlag = line.contains(u'M') || !lesbar;
    } else if (line == QLatin1String("SCHEIBE")) {
        melde(Maschinenereignis::KarteEnde);
    } else if (line == QLatin1String("ENDE")) {
        melde(Maschinenereignis::LesenEnde);
    }
}

void Rm3Leser::empfangen(const QByteArray& bytes, Abendzustand& z,
                         const Ereignisempfaenger& melde) {
    rest_ += bytes;
    int zeilen = 0;
    qsizetype cr;
    while ((cr = rest_.indexOf('\r')) >= 0) {
        const QByteArray line = rest_.left(cr);
        rest_.remove(0, cr + 1);
        if (++zeilen > kHoechstensZeilen) {
            continue;  // a flood: the surplus lines are dropped, as one text never held more
        }
        zeile(cp1252::decode(line), z, melde);
    }
    if (rest_.size() > 4096) {
        rest_.clear();  // a line that never ends is noise
    }
}

void Rm3Leser::flush(Abendzustand& z, const Ereignisempfaenger& melde) {
    if (rest_.isEmpty()) {
        return;
    }
    const QByteArray line = rest_;
    rest_.clear();
    zeile(cp1252::decode(line), z, melde);
}

// ---- RM III WIN ---------------------------------------------------------------------

namespace {

qsizetype nthIndex(const QString& s, QChar c, int n) {
    qsizetype pos = -1;
    for (int i = 0; i < n; ++i) {
        pos = s.indexOf(c, pos + 1);
        if (pos < 0) {
            return -1;
        }
    }
    return pos;
}

void winSchuss(const QString& item, Abendzustand& z) {
    const qsizetype dritter = nthIndex(item, u';', 3);
    const qsizetype vierter = nthIndex(item, u';', 4);
    // positions counted from 1: the third ";" after 4, the fourth after 6
    if (dritter < 0 || vierter < 0 || dritter + 1 <= 4 || vierter + 1 <= 6) {
        return;
    }
    ShotSlot* s = slotAus(Zahlwert(item.mid(4)), z);
    if (s == nullptr) {
        return;
    }
    const QStringList felder = item.split(u';');
    s->ValidFlag = true;
    std::int16_t ring = 0;
    const bool lesbar = ringAusText(felder[1], &ring);
    if (lesbar) {
        s->Ring = ring;
    }
    const double r = ZehntelWert(felder[2]);
    const double a = ZehntelWert(felder[3]);
    const double k = z.TargetType == QLatin1String("LP") ? 790.0 : 240.0;
    s->X = endlich(r * std::sin(a * 3.1415 / 180) / k);
    s->Y = endlich(-r * std::cos(a * 3.1415 / 180) / k);
    if (felder[2] != QLatin1String("-")) {
        s->Teiler = mitPistolenTeiler(endlich(r), z);
    }
    // The correction mark stands after the fourth ";" (the check character is gone by now).
    s->CorrectionFlag = item.mid(vierter + 1).contains(u'U') || !lesbar;
}

}  // namespace

void rm3WinZeile(const QString& line, Abendzustand& z, const Ereignisempfaenger& melde) {
    if (line.contains(QLatin1String("WESA"))) {
        melde(Maschinenereignis::LesenAbbruch);
    }
    const QStringList items = line.split(u'\r');
    int n = 0;
    for (const QString& item : items) {
        if (++n > kHoechstensZeilen) {
            break;
        }
        if (!item.contains(u';')) {
            if (item.contains(QLatin1String("WSE"))) {
                melde(Maschinenereignis::LesenEnde);
            } else if (item.contains(QLatin1String("STAF"))) {
                melde(Maschinenereignis::KarteEnde);
            }
            continue;
        }
        winSchuss(item, z);
    }
}

// ---- SAM ----------------------------------------------------------------------------

bool samBlock(const QByteArray& bytes, Abendzustand& z) {
    if (bytes.size() < 20) {
        return false;
    }
    const QString block = cp1252::decode(bytes);
    qsizetype pos = 0;
    auto naechsteZeile = [&](QString* line) {
        if (pos >= block.size()) {
            return false;
        }
        qsizetype cr = block.indexOf(u'\r', pos);
        if (cr < 0) {
            cr = block.size();  // a last line without its CR
        }
        *line = block.mid(pos, cr - pos);
        line->remove(u'\n');
        pos = cr + 1;
        return true;
    };
    QString line;
    for (int i = 1; i <= 6; ++i) {
        if (!naechsteZeile(&line)) {
            return true;
        }
        if (i == 3) {
            z.TargetType = line.trimmed().left(3);
        }
    }
    const double k = z.TargetType == QLatin1String("LP") ? 810.0 : 240.0;
    while (block.size() - pos >= 6) {
        QString ringZeile, teilerZeile, yZeile, xZeile;
        if (!naechsteZeile(&ringZeile) || !naechsteZeile(&teilerZeile) || !naechsteZeile(&yZeile) ||
            !naechsteZeile(&xZeile)) {
            break;
        }
        // More shots than the card has slots: the surplus is dropped.
        ShotSlot* s = z.shot(z.NextShotIndex);
        if (s == nullptr) {
            continue;
        }
        // A slot not shot comes as "??.?": no shot, and the next shot keeps this slot.
        const QString ringText = ringZeile.trimmed().left(2);
        if (ringText.isEmpty() || !(ringText[0].isDigit() || ringText[0] == u'-')) {
            continue;
        }
        std::int16_t ring = 0;
        const bool lesbar = ringAusText(ringText, &ring);
        s->Ring = lesbar ? ring : std::int16_t(0);
        s->CorrectionFlag = !lesbar;
        float teiler = mitPistolenTeiler(endlich(ZehntelWert(teilerZeile)), z);
        if (teiler == 0.0f || teiler >= ShotSlot::kKeinTeiler) {
            teiler = ShotSlot::kKeinTeiler;
        }
        s->Teiler = teiler;
        s->Y = endlich(-Zahlwert(yZeile) / k);
        s->X = endlich(-Zahlwert(xZeile) / k);
        s->ValidFlag = true;
        ++z.NextShotIndex;
    }
    return true;
}

// ---- SAM framing --------------------------------------------------------------------

bool samPruefbyteStimmt(const QByteArray& block, unsigned char pruefbyte) {
    unsigned char x = 0;
    for (char c : block) {
        x ^= static_cast<unsigned char>(c);
    }
    const auto stx = static_cast<unsigned char>(steuer::STX);
    const auto etb = static_cast<unsigned char>(steuer::ETB);
    return pruefbyte == (x ^ stx ^ etb) || pruefbyte == x || pruefbyte == (x ^ etb);
}

SamRahmen samRahmenSuchen(const QByteArray& puffer, bool ohneStx) {
    using steuer::ETB;
    using steuer::STX;
    SamRahmen r;
    qsizetype erstes = 0;  // first data byte
    if (ohneStx) {
        // The data are plain text, so an STX before the first ETB is the block's own.
        const qsizetype etb = puffer.indexOf(ETB);
        const qsizetype stx = etb < 0 ? puffer.lastIndexOf(STX) : puffer.lastIndexOf(STX, etb);
        r.anfang = stx < 0 ? 0 : stx;
        erstes = stx < 0 ? 0 : stx + 1;
    } else {
        qsizetype stx = puffer.indexOf(STX);
        if (stx < 0) {
            return r;
        }
        // Likewise a stray STX before the block's own is noise: the block would carry it and
        // not be recognised when the SAM sends it again.
        if (const qsizetype etb = puffer.indexOf(ETB, stx + 1); etb >= 0) {
            stx = puffer.lastIndexOf(STX, etb);
        }
        r.anfang = stx;
        erstes = stx + 1;
    }
    const qsizetype etb = puffer.indexOf(ETB, erstes);
    if (etb < 0 || puffer.size() < etb + 3) {
        r.art = SamRahmen::Unvollstaendig;
        return r;
    }
    r.block = puffer.mid(erstes, etb - erstes);
    r.ende = etb + 3;
    const bool summeStimmt =
        samPruefbyteStimmt(r.block, static_cast<unsigned char>(puffer[etb + 1]));
    if (puffer[etb + 2] != '$') {
        r.ende = etb + 2;  // what follows the check byte belongs to the next answer
    }
    r.art = summeStimmt && puffer[etb + 2] == '$' ? SamRahmen::Gut : SamRahmen::PruefFehler;
    return r;
}
