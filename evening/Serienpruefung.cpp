#include "evening/Serienpruefung.h"

#include <QRegularExpression>

#include "evening/Felder.h"

namespace {

bool hatText(const QString& s) {
    return !s.trimmed().isEmpty();
}

}  // namespace

QStringList serienHinweise(const Felder& f, int programm) {
    QStringList hinweise;
    for (int s = 1; s <= 6; ++s) {
        int da = 0;
        for (int i = (s - 1) * 10 + 1; i <= s * 10; ++i) {
            da += hatText(f.Schuss[static_cast<std::size_t>(i)]) ? 1 : 0;
        }
        // A card with a single shot is a whole series of its own.
        const bool einzelschuss = s == 1 && da == 1 && hatText(f.Schuss[1]);
        if (da > 0 && da < 10 && !einzelschuss) {
            // A series total already in its field (a machine's reading brings one for a short
            // series too) is part of Gesamt: the hint must say what Gesamt really holds.
            const QString& summe = f.Scheibe[static_cast<std::size_t>(s)];
            const bool zaehlt = hatText(summe) && summe.trimmed() != QLatin1String("0");
            hinweise << (zaehlt ? QStringLiteral("Serie %1: %2 von 10 Schuss, zählt mit %3 im Gesamt")
                                      .arg(s)
                                      .arg(da)
                                      .arg(summe.trimmed())
                                : QStringLiteral("Serie %1: %2 von 10 Schuss, zählt nicht im Gesamt")
                                      .arg(s)
                                      .arg(da));
        }
    }
    if (programm > 0 && programm < 60) {
        int erster = 0, letzter = 0;
        for (int i = programm + 1; i <= 60; ++i) {
            if (hatText(f.Schuss[static_cast<std::size_t>(i)])) {
                erster = erster == 0 ? i : erster;
                letzter = i;
            }
        }
        if (erster == letzter && erster > 0) {
            hinweise << QStringLiteral("Schuss %1 liegt hinter dem Programm (%2 Schuss)")
                            .arg(erster)
                            .arg(programm);
        } else if (erster > 0) {
            hinweise << QStringLiteral("Schuss %1 bis %2 liegen hinter dem Programm (%3 Schuss)")
                            .arg(erster)
                            .arg(letzter)
                            .arg(programm);
        }
    }
    return hinweise;
}

int programmSchuesse(const QString& controlString) {
    static const QRegularExpression sge(QStringLiteral("(?:^|;)SGE=(\\d{1,2});"));
    const QRegularExpressionMatch m = sge.match(controlString);
    if (!m.hasMatch()) {
        return 0;
    }
    const int n = m.captured(1).toInt();
    return n >= 1 && n <= 60 ? n : 0;
}
