#pragma once

#include <QString>

#include "machine/Einleseablauf.h"

// The reading window and the evening's window as a reading needs them, answering nothing and
// showing nothing: for tests and fuzz targets that look only at the line and the stored card.
struct StilleAnzeige : EinleseAnzeige {
    QString letzter;
    void status(const QString& t) override { letzter = t; }
    QString status() const override { return letzter; }
    void debugAnhaengen(const QString&) override {}
    void debugLabel(const QString&) override {}
    int korrekturErfragen(int, int ring) override { return ring; }
    void verbergen() override {}
};

struct StillerAbend : Abendfenster {
    void serienUndAnzeige() override {}
    void berechnenUndSpeichern() override {}
    void warnung(const QString&) override {}
    void nachVorne() override {}
    void programmZeigen(const QString&) override {}
};
