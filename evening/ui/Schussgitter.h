#pragma once

#include <QGroupBox>

#include <array>

class QKeyEvent;
class QLineEdit;

// The card on the screen: 60 ring fields in six series, each with its total and Teiler.
// A ring typed moves on to the next field; a 1 waits for the 0 of a 10.
class Schussgitter : public QGroupBox {
    Q_OBJECT
  public:
    explicit Schussgitter(QWidget* parent = nullptr);

    // A ring or Teiler field, filled by the machine during a reading.
    bool istMaschinenfeld(const QObject* feld) const;

    std::array<QLineEdit*, 61> Schuss{};  // 1..60
    std::array<QLineEdit*, 7> Scheibe{};  // 1..6
    std::array<QLineEdit*, 7> Teiler{};   // 1..6

  signals:
    // Field k changed, however it was changed (typing, paste, cut, Delete, the program).
    void ringGeaendert(int k, const QString& text);
    // The user changed field k; the focus has moved on where a ring is complete.
    void ringGetippt(int k);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool schussTaste(int k, QKeyEvent* e);
};
