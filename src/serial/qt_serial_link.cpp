#include "serial/qt_serial_link.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <chrono>
#include <thread>

namespace tqm5 {

namespace {
// The longest a command may take to leave: the longest is under 150 bytes,
// some 26 ms at 57600 baud.
constexpr int WriteWaitMs = 1000;
}  // namespace

QStringList portDevices() {
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    auto isUsb = [](const QSerialPortInfo& p) {
        return p.hasVendorIdentifier() || p.portName().startsWith("ttyUSB") || p.portName().startsWith("ttyACM");
    };
    std::stable_sort(ports.begin(), ports.end(), [&](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        if (isUsb(a) != isUsb(b)) return isUsb(a);
        return a.systemLocation() < b.systemLocation();
    });
    QStringList out;
    for (const auto& p : ports) out << p.systemLocation();
    return out;
}

bool portFailure(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::ResourceError:
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
    case QSerialPort::UnknownError:
        return true;
    // A wait that ran out is not a failure of the port: an answer that does
    // not come is the transfer's timeout. Opening, the settings and the
    // calls on a closed port report their refusals themselves.
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::OpenError:
    case QSerialPort::NotOpenError:
    case QSerialPort::UnsupportedOperationError:
        return false;
    }
    return true;
}

QtSerialLink::QtSerialLink() = default;

void QtSerialLink::bindDevice(int number, const QString& path) {
    boundNumber_ = number;
    // The serial port looks for a bare name in /dev: a file here is named in full.
    const QFileInfo here(path);
    boundPath_ = here.isRelative() && here.exists() ? here.absoluteFilePath() : path;
}

QString QtSerialLink::deviceFor(int number) const {
    if (number == boundNumber_) return boundPath_;
    const QStringList devices = portDevices();
    if (number >= 1 && number <= devices.size()) return devices[number - 1];
    return {};
}

QStringList QtSerialLink::devicesByNumber() const {
    QStringList out = portDevices().mid(0, 16);
    while (out.size() < 16) out << QString();
    if (boundNumber_ >= 1 && boundNumber_ <= 16) out[boundNumber_ - 1] = boundPath_;
    return out;
}

void QtSerialLink::setSettings(const std::string& settings) {
    // "baud,parity,data,stop"; only 57600,n,8,1 is ever used.
    baud_ = std::stoi(settings.substr(0, settings.find(',')));
}

void QtSerialLink::setPortNumber(int number) { number_ = number; }

void QtSerialLink::open() {
    const QString device = deviceFor(number_);
    if (device.isEmpty()) throw PortError("COM" + std::to_string(number_) + " stands for no device");
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) throw PortError(port_.errorString().toStdString());
    bool ok = port_.setBaudRate(baud_) && port_.setDataBits(QSerialPort::Data8) &&
              port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop);
    if (!ok) {
        std::string why = port_.errorString().toStdString();
        port_.close();
        throw PortError(why);
    }
}

void QtSerialLink::close() {
    if (port_.isOpen()) port_.close();
    port_.clearError();
}

bool QtSerialLink::isOpen() const { return port_.isOpen(); }

void QtSerialLink::throwIfBroken() {
    if (portFailure(port_.error())) {
        std::string why = port_.errorString().toStdString();
        close();
        throw PortError(why);
    }
}

void QtSerialLink::write(const Bytes& bytes) {
    if (!port_.isOpen()) throw PortError("port not open");
    const qint64 n = port_.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    if (n != qint64(bytes.size())) {
        const std::string why = "the port refused the command: " + port_.errorString().toStdString();
        close();
        throw PortError(why);
    }
    port_.flush();
    // Each wait returns once some of the bytes have left.
    const QDeadlineTimer deadline(WriteWaitMs);
    while (port_.bytesToWrite() > 0 && !deadline.hasExpired())
        if (!port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) break;
    throwIfBroken();
    if (port_.bytesToWrite() > 0) {
        // A command that has not left after a second never will: the device
        // takes no output. What is still queued must not reach the radio
        // later, in the middle of another exchange, nor hold up the close.
        port_.clear(QSerialPort::Output);
        close();
        throw PortError("the command did not leave the port within " + std::to_string(WriteWaitMs) + " ms");
    }
}

int QtSerialLink::bytesAvailable() {
    throwIfBroken();
    return port_.isOpen() ? int(port_.bytesAvailable()) : 0;
}

Bytes QtSerialLink::readAll() {
    if (!port_.isOpen()) return {};
    const QByteArray a = port_.readAll();
    throwIfBroken();
    return Bytes(a.begin(), a.end());
}

void QtSerialLink::clearInput() {
    if (!port_.isOpen()) return;
    port_.clear(QSerialPort::Input);
    port_.readAll();
}

void QtSerialLink::waitForInput(int ms) {
    // Blocks in the kernel until the port is readable, and pulls what came
    // into the port's buffer. Whatever ends the wait early without input (a
    // closed port, a hang-up that poll reports at once) sleeps out the rest,
    // so that a caller polling in a loop never spins a core.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    if (port_.isOpen() && port_.waitForReadyRead(ms)) return;
    std::this_thread::sleep_until(until);
}

}  // namespace tqm5
