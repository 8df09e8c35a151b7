#include "maintenance/VorAenderung.h"

namespace voraenderung {

namespace {
std::function<void(const QString&)>& ziel() {
    static std::function<void(const QString&)> f;
    return f;
}
}  // namespace

void setSichern(std::function<void(const QString& anlass)> sichern) {
    ziel() = std::move(sichern);
}

void ankuendigen(const QString& anlass) {
    if (ziel()) {
        ziel()(anlass);
    }
}

}  // namespace voraenderung
