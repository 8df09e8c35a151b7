#include "maintenance/ui/Tabellenfortschritt.h"

Tabellenfortschritt::Tabellenfortschritt(const QString& titel, const QString& text, QWidget* eltern)
    : fenster_(text, QString(), 0, 1, eltern) {
    fenster_.setWindowTitle(titel);
    fenster_.setWindowModality(Qt::WindowModal);
    fenster_.setMinimumDuration(0);
    fenster_.setCancelButton(nullptr);
}

void Tabellenfortschritt::melden(int fertig, int gesamt, const QString& tabelle) {
    fenster_.setMaximum(gesamt);
    fenster_.setLabelText(tabelle.isEmpty() ? QStringLiteral("Fertig.")
                                            : tabellenZeile(fertig, gesamt, tabelle));
    fenster_.setValue(fertig);  // a modal dialog keeps the window painted
}

QString tabellenZeile(int fertig, int gesamt, const QString& tabelle) {
    return QStringLiteral("Tabelle %1 von %2: %3").arg(fertig + 1).arg(gesamt).arg(tabelle);
}
