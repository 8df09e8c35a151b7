#include "Karten.h"

bool kartenLesen(const QString& text, std::vector<SimKarte>* karten, QString* fehler) {
    karten->clear();
    SimKarte karte;
    int nr = 0;
    for (const QString& roh : text.split(u'\n')) {
        ++nr;
        const QString zeile = roh.section(u'#', 0, 0).trimmed();
        if (zeile.isEmpty()) {
            continue;
        }
        if (zeile == QLatin1String("---")) {
            if (!karte.empty()) {
                karten->push_back(karte);
            }
            karte.clear();
            continue;
        }
        const QStringList f = zeile.split(u';');
        if (f.size() < 4) {
            *fehler = QStringLiteral("Zeile %1: erwartet ring;teiler;x;y[;M]").arg(nr);
            return false;
        }
        SimSchuss s;
        s.ring = f[0].trimmed();
        s.teiler = f[1].toDouble();
        s.x = f[2].toDouble();
        s.y = f[3].toDouble();
        s.korrektur = f.size() > 4 && f[4].trimmed() == QLatin1String("M");
        karte.push_back(s);
    }
    if (!karte.empty()) {
        karten->push_back(karte);
    }
    return true;
}
