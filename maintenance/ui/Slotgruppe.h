#pragma once

#include <QGroupBox>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Clock;
class Dialogs;
class Ini;

// The four club-database slots in the settings window: name, file, colour and weekday,
// written to wettk.ini together by "Übernehmen".
class Slotgruppe : public QGroupBox {
    Q_OBJECT
  public:
    Slotgruppe(Ini& ini, Dialogs& dialogs, const Clock& uhr, QWidget* parent = nullptr);

    // Fills the fields from wettk.ini.
    void laden();
    // The file of slot 0 to 3 and its weekday, as they stand in the fields.
    QString datei(int slot) const;
    QString tag(int slot) const;

    static const QStringList kWochentage;
    static const QStringList kFarben;

  signals:
    // "Übernehmen" wrote the four slots.
    void geschrieben();

  private:
    void schreiben();
    void dateiWaehlen(int slot);

    Ini& ini_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    bool ohneCodeGesagt_ = false;
    std::array<QLabel*, 4> dateiHinweis_{};
    std::array<QLineEdit*, 4> bez_{}, datei_{};
    std::array<QPushButton*, 4> auswahl_{};
    std::array<QComboBox*, 4> farbe_{}, tag_{};
    QPushButton* Enter = nullptr;
};
