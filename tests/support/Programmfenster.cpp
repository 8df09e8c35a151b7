#include "tests/support/Programmfenster.h"

Programmfenster::Programmfenster(const QString& maschine, bool mitSlot) {
    if (mitSlot) {
        ini.IniSchreiben("DB1", "NAME", "Training");
        ini.IniSchreiben("DB1", "DATEI", daten.dbPfad());
    }
    ini.IniSchreiben("WERTMASCHINE", "NAME", maschine);
}

void Programmfenster::starten(SerialLine* line) {
    w = std::make_unique<Ringe>(ini, zustand, club, dialogs, uhr);
    if (line) {
        einlesen = std::make_unique<Einlesen>(*line, ini, zustand, *w, dialogs);
        einlesen->ablauf().setDsrWartezeit(100);
        w->setLesesteuerung(einlesen.get());
    }
    w->show();
    w->laden();
    if (!QTest::qWaitForWindowExposed(w.get())) {
        qWarning("Hauptfenster nicht sichtbar");
    }
}

void Programmfenster::nummer(const QString& n) {
    QLineEdit* e = c("SNummer");
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, n);
}

void Programmfenster::ringe(int von, std::initializer_list<const char*> werte) {
    int k = von;
    for (const char* r : werte) {
        QTest::keyClicks(schuss(k++), r);
    }
}
