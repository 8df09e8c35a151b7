// The Windows test build: the tests run under Wine, where no MariaDB server of the test's own
// is started (the server variants of the tests run on Linux). Every attempt says so.
#include "tests/support/MariaDbServer.h"

namespace {
const QString kOhne = QStringLiteral("kein MariaDB-Server im Windows-Testlauf");
}

MariaDbServer::MariaDbServer() = default;
MariaDbServer::~MariaDbServer() = default;

bool MariaDbServer::starten() {
    fehler_ = kOhne;
    return false;
}
QString MariaDbServer::vereinsdatenbank() { return {}; }
bool MariaDbServer::sql(const QString&, const QString&) { return false; }
bool MariaDbServer::datenquelleEinrichten(const QString&) { return false; }
bool MariaDbServer::datenquellenLeeren() { return false; }
void MariaDbServer::stoppen() {}
bool MariaDbServer::anhalten() { return false; }
bool MariaDbServer::fortsetzen() { return false; }
bool MariaDbServer::neuStarten() { return false; }
bool MariaDbServer::hochfahren() { return false; }
QString MariaDbServer::clientAufruf(const QStringList&, const QString&, bool* ok) {
    *ok = false;
    return {};
}
