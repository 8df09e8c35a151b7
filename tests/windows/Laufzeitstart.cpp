// Every Windows test program starts with the program's own run-time settings, made before
// its main (the test main comes from Qt Test).
#include "platform/Laufzeit.h"

namespace {
const bool eingerichtet = [] {
    laufzeitEinrichten();
    return true;
}();
}  // namespace
