// A strip a machine kept from an earlier reading, added to the evening it was read for.
#include "evening/ui/Ringe.h"

namespace {
// The fields as they were, to find and store that evening again.
struct FelderVermerk : Abendvermerk {
    Felder felder;
};
}  // namespace

std::shared_ptr<const Abendvermerk> Ringe::abendVermerk() const {
    auto v = std::make_shared<FelderVermerk>();
    v->felder = felderLesen();
    v->nummer = v->felder.SNummer.trimmed();
    v->name = v->felder.SName;
    v->datum = v->felder.datumText();
    return v;
}

bool Ringe::nachtragen(const Abendvermerk& abend,
                       const std::function<void(Abendzustand&)>& schuesse) {
    const auto* v = dynamic_cast<const FelderVermerk*>(&abend);
    return steuerung_.nachtragen(v ? &v->felder : nullptr, abend.wer(), abend.datum, schuesse);
}
