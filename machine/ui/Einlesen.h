#pragma once

#include <QWidget>

#include <memory>

#include "machine/Einleseablauf.h"
#include "machine/Lesesteuerung.h"

class QEventLoop;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class Dialogs;
class RMEinst;

// The reading window: prompts card by card, takes hand corrections, ends the reading.
class Einlesen : public QWidget, public EinleseAnzeige, public Lesesteuerung {
    Q_OBJECT
  public:
    Einlesen(SerialLine& line, Ini& ini, Abendzustand& zustand, Abendfenster& abend,
             Dialogs& dialogs, QWidget* parent = nullptr);
    ~Einlesen() override;

    Einleseablauf& ablauf() { return *ablauf_; }
    RMEinst* programmFenster() const { return rmEinst_.get(); }

    // Lesesteuerung
    void laden() override;
    void portEinrichten() override;
    bool bereit() override { return ablauf_->bereit(); }
    void lesenStarten() override;
    void fernsteuern() override;
    void normal() override;
    void programmWaehlen() override;

    // EinleseAnzeige
    void status(const QString& text) override;
    QString status() const override;
    void debugAnhaengen(const QString& text) override;
    void debugLabel(const QString& text) override;
    int korrekturErfragen(int slot, int ring) override;
    void verbergen() override;
    int waehlen(const QString& text, const QStringList& antworten, int vorgabe) override;
    void hinweis(const QString& text) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void platzieren();
    void hoeheAnpassen();

    Ini& ini_;
    Abendzustand& zustand_;
    Abendfenster& abend_;
    Dialogs& dialogs_;
    std::unique_ptr<Einleseablauf> ablauf_;
    std::unique_ptr<RMEinst> rmEinst_;
    QEventLoop* korrekturSchleife_ = nullptr;
    int korrekturWert_ = -1;

    QLabel* status_ = nullptr;
    QLineEdit* Korrektur_txt = nullptr;
    QPushButton* beenden_ = nullptr;
    QPushButton* SER1 = nullptr;
    QLabel* Debug_L = nullptr;
    QPlainTextEdit* Debug_Text = nullptr;
};
