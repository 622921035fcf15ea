#pragma once
// What the program needs of a serial port. The real one wraps QSerialPort;
// tests use the emulator on a pseudo-terminal or a scripted fake.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tqm5 {

using Bytes = std::vector<uint8_t>;

// The port cannot be opened, does not exist, is in use, or went away.
class PortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SerialLink {
public:
    virtual ~SerialLink() = default;
    virtual void setSettings(const std::string& settings) = 0;  // "57600,n,8,1"
    virtual void setPortNumber(int number) = 0;                 // 1 to 16
    virtual void open() = 0;                                    // throws PortError
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void write(const Bytes& bytes) = 0;                 // throws PortError
    virtual int bytesAvailable() = 0;                           // throws PortError
    virtual Bytes readAll() = 0;                                // throws PortError
    virtual void clearInput() = 0;
    // Blocks up to `ms` milliseconds or until more input arrives.
    virtual void waitForInput(int ms) = 0;
    // The device port `number` stands for on this machine, when known
    // ("/dev/ttyUSB0"); what the program keeps of a radio is filed under it.
    virtual std::string deviceOf(int number) const {
        (void)number;
        return {};
    }
};

constexpr const char* SerialSettings = "57600,n,8,1";

}  // namespace tqm5
