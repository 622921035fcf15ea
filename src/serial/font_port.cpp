#include "serial/font_port.h"

#include <QTimer>

#include "serial/qt_serial_link.h"

namespace tqm5 {

FontPort::FontPort(const QtSerialLink& devices, QObject* parent) : QObject(parent), devices_(devices) {
    connect(&port_, &QSerialPort::readyRead, this, &FontPort::checkInput);
    connect(&port_, &QSerialPort::bytesWritten, this, [this] {
        if (port_.bytesToWrite() == 0) notifySent();
    });
    connect(&port_, &QSerialPort::errorOccurred, this, &FontPort::portError);
}

FontPort::~FontPort() { close(); }

void FontPort::open(int number) {
    if (port_.isOpen()) return;
    failurePending_ = false;
    const QString device = devices_.deviceFor(number);
    if (device.isEmpty()) throw PortError("COM" + std::to_string(number) + " stands for no device");
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        const std::string why = port_.errorString().toStdString();
        port_.clearError();
        throw PortError(why);
    }
    const bool ok = port_.setBaudRate(QSerialPort::Baud57600) && port_.setDataBits(QSerialPort::Data8) &&
                    port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop);
    if (!ok) {
        const std::string why = port_.errorString().toStdString();
        close();
        throw PortError(why);
    }
    port_.clear(QSerialPort::Input);
    port_.readAll();
}

void FontPort::close() {
    expected_ = 0;
    sentPending_ = false;
    if (port_.isOpen()) port_.close();
    port_.clearError();
    // Closing ends whatever failed before, closing included.
    failurePending_ = false;
}

void FontPort::write(const Bytes& bytes) {
    if (!port_.isOpen()) throw PortError("port not open");
    const auto size = static_cast<qint64>(bytes.size());
    sentPending_ = true;
    if (port_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        sentPending_ = false;
        throw PortError(port_.errorString().toStdString());
    }
    port_.flush();
    // Bytes still queued after the wait go out later, with `sent` from
    // bytesWritten; the transfer's timer covers a port that takes none.
    if (port_.bytesToWrite() > 0) port_.waitForBytesWritten(100);
    if (portFailure(port_.error())) {
        sentPending_ = false;
        throw PortError(port_.errorString().toStdString());
    }
    if (port_.bytesToWrite() == 0) {
        // Reported after the caller has finished sending, as the event would be.
        QTimer::singleShot(0, this, &FontPort::notifySent);
    }
}

void FontPort::notifySent() {
    if (!sentPending_) return;
    sentPending_ = false;
    emit sent();
}

void FontPort::expect(int count) {
    expected_ = count;
    // Bytes may already be waiting; look once the caller is done.
    QTimer::singleShot(0, this, &FontPort::checkInput);
}

void FontPort::portError(QSerialPort::SerialPortError error) {
    if (!portFailure(error) || !port_.isOpen() || failurePending_) return;
    // Told once the call in progress has returned: a failing open or write
    // throws, and the close that follows withdraws this.
    failurePending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (!failurePending_) return;
        failurePending_ = false;
        expected_ = 0;
        sentPending_ = false;
        emit failed();
    });
}

void FontPort::checkInput() {
    if (expected_ <= 0 || !port_.isOpen() || port_.bytesAvailable() < expected_) return;
    expected_ = 0;
    emit received(port_.readAll());
}

}  // namespace tqm5
