#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Ini.h"
#include "evening/ui/Ringe.h"
#include "machine/ui/Einlesen.h"
#include "machine/ui/RMEinst.h"
#include "platform/Clock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDaten.h"

// The program's windows on a club database and settings file of their own, shown
// offscreen, on Wednesday 3 April 2024.
struct Programmfenster {
    TestDaten daten;
    Ini ini{daten.iniPfad()};
    Abendzustand zustand;
    ClubDatabase club{ini, zustand};
    ScriptedDialogs dialogs;
    FixedClock uhr{QDate(2024, 4, 3)};
    std::unique_ptr<Ringe> w;
    std::unique_ptr<Einlesen> einlesen;

    // With `mitSlot` DB1 is the fixture's club database.
    explicit Programmfenster(const QString& maschine = QStringLiteral("RMIII"),
                             bool mitSlot = true);

    // Builds and loads the main window; with a line the reading window is attached.
    void starten(SerialLine* line = nullptr);

    // A control of the main window, the reading window or "RM einstellen".
    template <class T = QLineEdit>
    T* c(const QString& name) const {
        T* x = w->findChild<T*>(name);
        if (!x && einlesen) {
            x = einlesen->findChild<T*>(name);
            if (!x && einlesen->programmFenster()) {
                x = einlesen->programmFenster()->findChild<T*>(name);
            }
        }
        if (!x) {
            qFatal("kein Steuerelement %s", qPrintable(name));
        }
        return x;
    }
    QPushButton* knopf(const QString& name) const { return c<QPushButton>(name); }
    QLineEdit* schuss(int k) const { return c(QStringLiteral("Schuss_%1").arg(k)); }
    // How many of the 60 shot fields show a ring.
    int gezeigt() const {
        int n = 0;
        for (int k = 1; k <= 60; ++k)
            n += schuss(k)->text().isEmpty() ? 0 : 1;
        return n;
    }
    QString text(const QString& name) const { return c(name)->text(); }
    // The texts of several fields at once, to be compared as one list.
    QStringList texte(std::initializer_list<const char*> namen) const {
        QStringList t;
        for (const char* n : namen)
            t << text(QString::fromLatin1(n));
        return t;
    }

    // Types a member number as a user does: the old one wiped, then digit by digit.
    void nummer(const QString& n);
    void ringe(int von, std::initializer_list<const char*> werte);
    void taste(Qt::Key key) { QTest::keyClick(c("SNummer"), key); }
    SqlRows zeilen(const QString& sql) { return daten.db().run(sql); }
    QVariantList zeile(const QString& sql) {
        const SqlRows r = zeilen(sql);
        return r.empty() ? QVariantList() : r.rows[0];
    }
    int zahl(const QString& sql) { return daten.zahl(sql); }
};
