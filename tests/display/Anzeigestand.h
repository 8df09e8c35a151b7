#pragma once

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>

#include "display/Anzeige.h"
#include "tests/support/Abendspeichern.h"
#include "tests/support/TestDaten.h"

inline const QDate kAbend(2024, 4, 3);

// The display of a club database of its own, for this PC only.
struct Anzeigestand {
    TestDaten d;
    Anzeige anzeige{
        {[] { return kAbend; }, [] { return 2024; }, [this] { return d.db().zugang(); }}};

    // `taktMs`: how often the service looks by itself (0: as in the program).
    explicit Anzeigestand(bool kurz = false, int taktMs = 0) {
        anzeige.setTaktMs(taktMs);
        const QString fehler = anzeige.anwenden(einstellung(kurz));
        if (!fehler.isEmpty())
            qWarning("%s", qPrintable(fehler));
    }
    static Anzeigeeinstellung einstellung(bool kurz = false, quint16 port = 0) {
        Anzeigeeinstellung e;
        e.an = true;
        e.port = port;
        e.adresse = Anzeigeeinstellung::kNurDieserPc;
        e.kurznamen = kurz;
        return e;
    }
    quint16 port() const { return anzeige.port(); }
    void speichern(int nr, int ring) { abendSpeichern(d.db(), kAbend, nr, ring); }
};

// One request as raw bytes; the answer until the server closes or its body is whole.
inline QByteArray anfrage(quint16 port, const QByteArray& roh, int ms = 3000) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    if (!s.waitForConnected(ms))
        return "keine Verbindung";
    s.write(roh);
    QByteArray antwort;
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < ms && s.state() == QAbstractSocket::ConnectedState) {
        if (s.waitForReadyRead(100))
            antwort += s.readAll();
        const int kopfEnde = static_cast<int>(antwort.indexOf("\r\n\r\n"));
        if (kopfEnde >= 0) {
            const QByteArray kopf = antwort.left(kopfEnde).toLower();
            const int i = static_cast<int>(kopf.indexOf("content-length:"));
            if (i >= 0) {
                const int laenge = kopf.mid(i + 15).split('\r').first().trimmed().toInt();
                if (antwort.size() - kopfEnde - 4 >= laenge)
                    break;
            }
        }
    }
    return antwort + s.readAll();
}

inline QByteArray get(quint16 port, const QByteArray& pfad) {
    return anfrage(port, "GET " + pfad + " HTTP/1.1\r\nHost: x\r\n\r\n");
}

inline QJsonObject koerperJson(const QByteArray& antwort) {
    return QJsonDocument::fromJson(antwort.mid(antwort.indexOf("\r\n\r\n") + 4)).object();
}

// The display's page in headless chromium, driven by browser.py one line at a time.
struct Browser {
    QProcess p;
    static bool fehlt() {
        return !QFile::exists("/usr/bin/chromium") || !QFile::exists("/usr/bin/chromedriver");
    }
    Browser(quint16 port, const QString& profil) {
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start("/usr/bin/python3",
                {ZK_BROWSER, QStringLiteral("http://127.0.0.1:%1/").arg(port), profil});
    }
    // The answer to a command (none: the first line, "bereit").
    QByteArray antwort(const QByteArray& befehl = {}) {
        if (!befehl.isEmpty())
            p.write(befehl + "\n");
        while (!p.canReadLine())
            if (!p.waitForReadyRead(60000))
                return "kein Browser";
        return p.readLine().trimmed();
    }
    bool beenden() {
        p.write("ende\n");
        return (p.state() == QProcess::NotRunning || p.waitForFinished(30000)) && p.exitCode() == 0;
    }
};
