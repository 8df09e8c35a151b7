// A strip the machine still held when a reading ended: noted with its member, said, kept in
// the settings file, and asked about when the next reading receives it.
#include <QTimer>

#include "core/Abendzustand.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "machine/Einleseablauf.h"

namespace {
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

