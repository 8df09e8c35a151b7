#pragma once

#include <QDateTime>

#include "core/Abendzustand.h"
#include "evening/Abend.h"
#include "evening/Abendstand.h"
#include "evening/Felder.h"
#include "platform/Database.h"

// An evening of ten shots of `ring` (Teiler 30,5) for member `nr` on `tag`, stored through
// the program's storing path as the main window stores it: replacing one stored before.
inline void abendSpeichern(Database& db, const QDate& tag, int nr, int ring,
                           const QDateTime& jetzt = QDateTime::currentDateTime()) {
    Abendzustand z;
    z.Saisonjahr = static_cast<std::int16_t>(tag.year());
    z.TargetType = QStringLiteral("LG");
    for (std::size_t k = 1; k <= 10; ++k) {
        ShotSlot& s = z.Shots[k];
        s.ValidFlag = true;
        s.Ring = static_cast<std::int16_t>(ring);
        s.Teiler = 30.5f;
    }
    Felder f;
    f.SNummer = QString::number(nr);
    f.SName = QStringLiteral("x");
    f.Heute = tag.toString(QStringLiteral("dd.MM.yyyy"));
    f.Scheibe[1] = QString::number(ring * 10);
    f.GesScheibe = f.Best10 = f.Best = f.Scheibe[1];
    f.BestTeiler = QStringLiteral("30,5");
    GeladenerAbend g;
    Abspeichern(f, z, db, jetzt, {&g, true});
}
