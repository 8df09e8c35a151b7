#include "tests/support/PdfText.h"

#include <QProcess>

#include "tests/support/LinuxProgramm.h"

QString pdfText(const QString& pdf, const QStringList& optionen, QString* fehler) {
    QString warum;
#ifdef Q_OS_WIN
    const QString ziel = pdf + QStringLiteral(".txt");
    const QString halb = pdf + QStringLiteral(".halb");
    const QStringList befehl = QStringList{QStringLiteral("pdftotext")} + optionen +
                               QStringList{linuxprogramm::unixPfad(pdf),
                                           linuxprogramm::unixPfad(halb)};
    if (!linuxprogramm::starten(befehl, halb, ziel)) {
        warum = QStringLiteral("pdftotext gibt es hier nur unter Wine");
    } else {
        const QByteArray text = linuxprogramm::warten(ziel, 30000, &warum);
        if (!text.isNull()) {
            return QString::fromUtf8(text);
        }
    }
#else
    QProcess p;
    p.start(QStringLiteral("pdftotext"), optionen + QStringList{pdf, QStringLiteral("-")});
    if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) {
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    warum = QStringLiteral("pdftotext (poppler-utils) fehlt oder scheitert an %1: %2")
                .arg(pdf, QString::fromUtf8(p.readAllStandardError()));
#endif
    if (fehler) {
        *fehler = warum;
    }
    return {};
}
