#pragma once

#include <QString>

#include <array>

// The rows of the competition grid as the main window uses them in competition mode: the
// member number field addresses a row 1 to 14, calculate-and-save writes its series there.
class Wettkampfzeilen {
  public:
    virtual ~Wettkampfzeilen() = default;
    virtual QString schuetze(int zeile) const = 0;
    // Series 1..6 (index 0 unused) and the total into row `zeile`.
    virtual void serienEintragen(int zeile, const std::array<QString, 7>& serien,
                                 const QString& gesamt) = 0;
};
