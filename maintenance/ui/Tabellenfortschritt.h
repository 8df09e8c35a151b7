#pragma once

#include <QProgressDialog>
#include <QString>

// The progress bar of work that goes table by table (taking over, moving a club): modal,
// without a cancel button, naming the table at work.
class Tabellenfortschritt {
  public:
    Tabellenfortschritt(const QString& titel, const QString& text, QWidget* eltern);
    ~Tabellenfortschritt() { fenster_.close(); }
    // Table `fertig` of `gesamt` is next; an empty name: all done.
    void melden(int fertig, int gesamt, const QString& tabelle);

  private:
    QProgressDialog fenster_;
};

// The same as a line on the console.
QString tabellenZeile(int fertig, int gesamt, const QString& tabelle);
