#include "platform/SerialPortLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QStandardPaths>

#include <utility>

bool parseLineSettings(const QString& text, LineSettings* out) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{3,6})\\s*,\\s*([NEOnoe])\\s*,\\s*([5-8])\\s*,\\s*([12])\\s*$"));
    const auto m = form.match(text);
    if (!m.hasMatch()) {
        return false;
    }
    out->baud = m.captured(1).toInt();
    out->parity = m.captured(2).toUpper().at(0).toLatin1();
    out->dataBits = m.captured(3).toInt();
    out->stopBits = m.captured(4).toInt();
    return true;
}

namespace {
void apply(QSerialPort& p, const LineSettings& s) {
    p.setBaudRate(s.baud);
    p.setParity(s.parity == 'E'   ? QSerialPort::EvenParity
                : s.parity == 'O' ? QSerialPort::OddParity
                                  : QSerialPort::NoParity);
    p.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits));
    p.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    p.setFlowControl(QSerialPort::NoFlowControl);
}
}  // namespace

SerialPortLine::SerialPortLine(QObject* parent)
    : SerialLine(parent), port_impl_(std::make_unique<QSerialPort>()) {
    connect(port_impl_.get(), &QSerialPort::readyRead, this, &SerialLine::readyRead);
    connect(port_impl_.get(), &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { fehler(e); });
}

// A device that went away keeps reporting read errors on every turn of the event loop; the
// port is closed at the first one so that nothing spins.
void SerialPortLine::fehler(int code) {
    switch (code) {
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
        case QSerialPort::ResourceError:
            break;
        default:
            return;
    }
    if (!port_impl_->isOpen()) {
        return;
    }
    const QString device = port_impl_->portName();
    nachlass_ += port_impl_->readAll();
    port_impl_->close();
    port_impl_->clearError();
    emit getrennt(QStringLiteral("Die Verbindung zur Ringlesemaschine an Schnittstelle %1 "
                                 "(%2) ist unterbrochen.")
                      .arg(port_)
                      .arg(device));
}

QString SerialPortLine::oeffnenFehlerText(int port, const QString& device, int code,
                                          const QString& treiberText) {
    QString warum;
    switch (code) {
        case QSerialPort::DeviceNotFoundError:
            warum = QStringLiteral(
                        "Das Gerät %1 gibt es nicht. Ist die Ringlesemaschine "
                        "angeschlossen und eingeschaltet?")
                        .arg(device);
            break;
        case QSerialPort::PermissionError: {
            const QFileInfo info(device);
            if (info.exists() && !(info.isReadable() && info.isWritable())) {
                warum = QStringLiteral(
                            "Keine Berechtigung für %1. Der Benutzer muss zur Gruppe "
                            "\"dialout\" gehören (danach neu anmelden).")
                            .arg(device);
            } else {
                warum = QStringLiteral(
                            "%1 wird schon von einem anderen Programm benutzt. "
                            "Bitte das andere Programm beenden.")
                            .arg(device);
            }
            break;
        }
        case QSerialPort::OpenError:
            warum = QStringLiteral("%1 ist schon geöffnet.").arg(device);
            break;
        default:
            warum = QStringLiteral("%1 lässt sich nicht öffnen (%2).").arg(device, treiberText);
            break;
    }
    QString text =
        QStringLiteral("Die serielle Schnittstelle %1 kann nicht geöffnet werden.\n").arg(port) +
        warum;
#ifndef Q_OS_WIN
    text += QStringLiteral(
                "\nWelches Gerät Schnittstelle %1 ist, bestimmt die Datei %2, z. B.:\n"
                "ln -sf /dev/ttyUSB0 %2")
                .arg(port)
                .arg(mappingFile(port));
#endif
    return text;
}

SerialPortLine::~SerialPortLine() {
    close();
}

QString SerialPortLine::mappingFile(int port) {
#ifdef Q_OS_WIN
    Q_UNUSED(port);
    return {};
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/COM%1").arg(port);
#endif
}

QString SerialPortLine::deviceOf(int port) const {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    const QFileInfo map(mappingFile(port));
    if (map.isSymLink()) {
        return map.symLinkTarget();
    }
    if (map.isFile()) {
        QFile f(map.filePath());
        if (f.open(QIODevice::ReadOnly)) {
            const QString path = QString::fromUtf8(f.readLine(4096)).trimmed();
            if (!path.isEmpty()) {
                return path;
            }
        }
    }
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

bool SerialPortLine::open(int port, const QString& settings, QString* error) {
    close();
    nachlass_.clear();
    port_ = port;
    LineSettings s;
    const QString device = deviceOf(port);
    if (!parseLineSettings(settings, &s)) {
        if (error) {
            *error = QStringLiteral(
                         "Die serielle Schnittstelle %1 (%2) kann nicht geöffnet "
                         "werden: ungültige Einstellung \"%3\"")
                         .arg(port)
                         .arg(device, settings);
        }
        return false;
    }
    port_impl_->setPortName(device);
    if (!port_impl_->open(QIODevice::ReadWrite)) {
        if (error) {
            *error =
                oeffnenFehlerText(port, device, port_impl_->error(), port_impl_->errorString());
        }
        port_impl_->clearError();
        return false;
    }
    apply(*port_impl_, s);
    return true;
}

void SerialPortLine::close() {
    if (port_impl_->isOpen()) {
        port_impl_->close();
    }
}

bool SerialPortLine::isOpen() const {
    return port_impl_->isOpen();
}

bool SerialPortLine::setSettings(const QString& settings) {
    LineSettings s;
    if (!parseLineSettings(settings, &s)) {
        return false;
    }
    apply(*port_impl_, s);
    return true;
}

void SerialPortLine::write(const QByteArray& bytes) {
    if (!port_impl_->isOpen()) {
        return;
    }
    emit verkehr('>', bytes);
    port_impl_->write(bytes);
    port_impl_->flush();
}

QByteArray SerialPortLine::readAll() {
    QByteArray bytes = std::exchange(nachlass_, QByteArray());
    if (port_impl_->isOpen()) {
        bytes += port_impl_->readAll();
    }
    if (!bytes.isEmpty()) {
        emit verkehr('<', bytes);
    }
    return bytes;
}

qint64 SerialPortLine::bytesWaiting() {
    return nachlass_.size() + (port_impl_->isOpen() ? port_impl_->bytesAvailable() : 0);
}

void SerialPortLine::setDtr(bool on) {
    if (port_impl_->isOpen()) {
        port_impl_->setDataTerminalReady(on);
    }
}

void SerialPortLine::setRts(bool on) {
    if (port_impl_->isOpen()) {
        port_impl_->setRequestToSend(on);
    }
}

SerialLine::Pegel SerialPortLine::dsr() {
    if (!port_impl_->isOpen()) {
        return Pegel::Unbekannt;
    }
    const QSerialPort::PinoutSignals pins = port_impl_->pinoutSignals();
    if (port_impl_->error() == QSerialPort::UnsupportedOperationError) {
        port_impl_->clearError();
        return Pegel::Unbekannt;
    }
    return pins.testFlag(QSerialPort::DataSetReadySignal) ? Pegel::Ein : Pegel::Aus;
}
