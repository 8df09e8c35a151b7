#include "platform/widgets/QtDeutsch.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool qtDeutschLaden(QCoreApplication& app) {
    auto* qt = new QTranslator(&app);
    const QString ordner = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!qt->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                  QStringLiteral("_"), ordner)) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}
