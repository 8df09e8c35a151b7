#include "competition/Slots.h"

#include "competition/Wettkampf.h"
#include "core/Ini.h"

namespace {

// Every key of a slot with the field it holds, in the order they are written.
template <class W, class F>
void jedesFeld(W& w, F&& f) {
    for (int i = 1; i <= Wettkampf::kZeilen; ++i) {
        auto& z = w.zeile[static_cast<std::size_t>(i)];
        const QString n = QString::number(i);
        f(QStringLiteral("Name") + n, z.name);
        f(QStringLiteral("Geb") + n, z.geb);
        f(QStringLiteral("SerNr") + n, z.serNr);
        for (int s = 1; s <= 6; ++s) {
            f(QStringLiteral("S%1").arg(s) + n, z.s[static_cast<std::size_t>(s)]);
        }
        f(QStringLiteral("Ges") + n, z.ges);
    }
    f(QStringLiteral("Heim_Nr"), w.heimNummer);
    f(QStringLiteral("Heim_Name"), w.heimName);
    f(QStringLiteral("Gast_Nr"), w.gastNummer);
    f(QStringLiteral("Gast_Name"), w.gastName);
    f(QStringLiteral("Klasse"), w.klasse);
    f(QStringLiteral("Gruppe"), w.gruppe);
}

}  // namespace

void WettkSpeichern(Ini& ini, int slot, const Wettkampf& w) {
    QList<std::pair<QString, QString>> werte;
    jedesFeld(w, [&](const QString& key, const QString& text) { werte.append({key, text}); });
    ini.IniSchreiben(QString::number(slot), werte);
}

void WettkLaden(const Ini& ini, int slot, Wettkampf& w) {
    const QString abschnitt = QString::number(slot);
    jedesFeld(w, [&](const QString& key, QString& text) { text = ini.IniLesen(abschnitt, key); });
}
