#pragma once

#include <QString>

#include <functional>

// Before an operation that rewrites many rows (a conversion, a table transfer, deleting the
// rows shown, the class assignment, a range import, a takeover), the open club database is
// backed up. The program sets what that means; the operations only announce themselves.
namespace voraenderung {

void setSichern(std::function<void(const QString& anlass)> sichern);
// Called by such an operation before it writes.
void ankuendigen(const QString& anlass);

}  // namespace voraenderung
