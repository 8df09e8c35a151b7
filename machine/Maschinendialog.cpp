#include "machine/Maschinendialog.h"

#include "core/Einstellungen.h"
#include "machine/Rm3Dialog.h"
#include "machine/Rm3WinDialog.h"
#include "machine/SamDialog.h"

std::unique_ptr<Maschinendialog> maschinendialogFuer(const QString& maschine, Lesekontext& k) {
    if (maschine == ini::kMaschineSam) {
        return std::make_unique<SamDialog>(k);
    }
    if (maschine == ini::kMaschineRm3Win) {
        return std::make_unique<Rm3WinDialog>(k);
    }
    return std::make_unique<Rm3Dialog>(k);
}
