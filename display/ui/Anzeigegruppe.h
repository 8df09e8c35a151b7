#pragma once

#include <QGroupBox>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class Ini;

// "Anzeige im Vereinsnetz" in the settings window: on or off, port, address, shortened
// names, kept in wettk.ini as they are changed; the program takes them over when the
// settings window closes.
class Anzeigegruppe : public QGroupBox {
    Q_OBJECT
  public:
    Anzeigegruppe(Ini& ini, QWidget* parent = nullptr);

    // Fills the fields from wettk.ini.
    void laden();
    // Where the pages can be opened now, as the running display says.
    void setAdressen(std::function<QStringList()> adressen) { adressen_ = std::move(adressen); }

  private:
    void schreiben();
    void adressenZeigen();

    Ini& ini_;
    bool laden_ = false;
    QCheckBox* AnzeigeAn = nullptr;
    QSpinBox* AnzeigePort = nullptr;
    QComboBox* AnzeigeAdresse = nullptr;
    QCheckBox* AnzeigeKurz = nullptr;
    QLabel* AnzeigeOrt = nullptr;
    std::function<QStringList()> adressen_;
};
