#pragma once

#include <QString>

// Who is logged in at this PC, for the log of corrections.
namespace anmeldung {

// The login name: USER, LOGNAME or USERNAME when set, else the system's account of this
// process (a service or a desktop started without a login shell sets none of them). At
// most 64 characters; "" only when the system knows no name either.
QString name();

}  // namespace anmeldung
