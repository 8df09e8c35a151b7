#include "platform/SerialPortLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QStandardPaths>

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
    port_ = port;
    LineSettings s;
    const QString device = deviceOf(port);
    auto fail = [&](const QString& why) {
        if (error) {
            *error =
                QStringLiteral("Die serielle Schnittstelle %1 (%2) kann nicht geöffnet werden: %3")
                    .arg(port)
                    .arg(device, why);
        }
        return false;
    };
    if (!parseLineSettings(settings, &s)) {
        return fail(QStringLiteral("ungültige Einstellung \"%1\"").arg(settings));
    }
    port_impl_->setPortName(device);
    if (!port_impl_->open(QIODevice::ReadWrite)) {
        return fail(port_impl_->errorString());
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
    const QByteArray bytes = port_impl_->isOpen() ? port_impl_->readAll() : QByteArray();
    if (!bytes.isEmpty()) {
        emit verkehr('<', bytes);
    }
    return bytes;
}

qint64 SerialPortLine::bytesWaiting() {
    return port_impl_->isOpen() ? port_impl_->bytesAvailable() : 0;
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
