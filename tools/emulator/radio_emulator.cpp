#include "emulator/radio_emulator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace tqm5::emu {
namespace {

constexpr char kIdentification[] = "QK~TQ-M5EG";
constexpr char kBlockPrefix[] = "QK~F";
constexpr std::size_t kPrefixLength = 4, kAddressDigits = 5;
constexpr std::size_t kBlockHeader = kPrefixLength + kAddressDigits + 1;  // "QK~F" + 5 + R/W
// The two bytes between the echoed command and the payload; clients do not
// look at them.
constexpr uint8_t kFiller[2] = {' ', ' '};
constexpr uint8_t CR = 13, LF = 10;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lowercase is not what the radio speaks
}

bool allHex(const std::string& s, std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + count; ++i)
        if (hexValue(s[i]) < 0) return false;
    return true;
}

void appendHex(Bytes& out, uint8_t v) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out.push_back(digits[v >> 4]);
    out.push_back(digits[v & 15]);
}

std::string printable(const std::string& line) {
    constexpr std::size_t shown = 48;
    std::string s;
    for (std::size_t i = 0; i < line.size() && i < shown; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            s += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            s += buf;
        }
    }
    if (line.size() > shown) s += "... (" + std::to_string(line.size()) + " bytes)";
    return s;
}

std::string errnoText(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

// --- memory ---------------------------------------------------------------

Bytes RadioMemory::read(uint32_t address, std::size_t length) const {
    Bytes out(length);
    for (std::size_t i = 0; i < length; ++i) out[i] = bytes_[(address + i) % MemorySize];
    return out;
}

void RadioMemory::write(uint32_t address, const Bytes& data) {
    for (std::size_t i = 0; i < data.size(); ++i) bytes_[(address + i) % MemorySize] = data[i];
}

void RadioMemory::assign(const Bytes& image) {
    if (image.size() != MemorySize)
        throw std::invalid_argument("a memory image holds " + std::to_string(MemorySize) +
                                    " bytes, not " + std::to_string(image.size()));
    std::copy(image.begin(), image.end(), bytes_.begin());
}

void RadioMemory::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(errnoText("cannot open", path));
    Bytes image(MemorySize + 1);
    in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
    if (in.bad()) throw std::runtime_error(errnoText("cannot read", path));
    image.resize(static_cast<std::size_t>(in.gcount()));
    if (image.size() != MemorySize)
        throw std::runtime_error(path + " is not a memory image (" + std::to_string(MemorySize) +
                                 " bytes expected)");
    assign(image);
}

void RadioMemory::save(const std::string& path) const {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) throw std::runtime_error(errnoText("cannot create a file beside", path));
    const uint8_t* p = bytes_.data();
    std::size_t left = bytes_.size();
    int error = ::fchmod(fd, 0644) == 0 ? 0 : errno;
    while (error == 0 && left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
    if (error == 0) return;
    ::unlink(temp.c_str());
    errno = error;
    throw std::runtime_error(errnoText("cannot save", path));
}

// --- emulator -----------------------------------------------------------------

const char* faultName(FaultKind kind) {
    switch (kind) {
        case FaultKind::None: return "none";
        case FaultKind::NoAnswer: return "no answer";
        case FaultKind::Short: return "short";
        case FaultKind::ExtraByte: return "extra byte";
        case FaultKind::BrokenTail: return "broken tail";
        case FaultKind::Late: return "late";
        case FaultKind::OtherAddress: return "other address";
        case FaultKind::NotStored: return "not stored";
    }
    return "?";
}

Emulator::Emulator(const Options& options) : options_(options), rng_(options.seed) {
    setFaultRate(options.faultRate);
}

void Emulator::setFaultRate(double rate) {
    options_.faultRate = rate < 0 ? 0 : rate > 1 ? 1 : rate;
}

void Emulator::setSeed(uint64_t seed) { rng_ = options_.seed = seed; }

void Emulator::forceFault(uint64_t exchange, FaultKind kind) { forced_[exchange] = kind; }

void Emulator::failNext(int count, FaultKind kind) {
    failNextCount_ = count;
    failNextKind_ = kind;
}

void Emulator::failIdentifications(int count, FaultKind kind) {
    failIdCount_ = count;
    failIdKind_ = kind;
}

void Emulator::clearForcedFaults() {
    forced_.clear();
    failNextCount_ = failIdCount_ = 0;
}

// splitmix64: tiny, and the same sequence on every platform and library,
// which std::uniform_*_distribution does not promise.
uint64_t Emulator::nextRandom() {
    uint64_t z = (rng_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

void Emulator::addLog(std::string line) {
    if (onLog) onLog(line);
    log_.push_back(std::move(line));
    while (log_.size() > options_.logLimit && !log_.empty()) log_.pop_front();
}

std::vector<Answer> Emulator::feed(const uint8_t* data, std::size_t length) {
    std::vector<Answer> answers;
    out_ = &answers;
    for (std::size_t i = 0; i < length; ++i) {
        const uint8_t c = data[i];
        if (c == CR) {
            if (overlong_)
                ignore(line_, "line too long");
            else
                processLine(line_);
            line_.clear();
            overlong_ = false;
        } else if (line_.size() < MaxLineLength) {
            line_.push_back(static_cast<char>(c));
        } else {
            overlong_ = true;  // keep the start for the log, drop the rest
        }
    }
    out_ = nullptr;
    return answers;
}

Bytes Emulator::transact(const Bytes& data) {
    Bytes out;
    for (const Answer& a : feed(data)) out.insert(out.end(), a.bytes.begin(), a.bytes.end());
    return out;
}

void Emulator::ignore(const std::string& line, const char* reason) {
    ++stats_.ignored;
    addLog(std::string("- ignored (") + reason + "): " + printable(line));
}

void Emulator::processLine(const std::string& line) {
    if (line.empty()) return ignore(line, "empty line");
    if (line == kIdentification) return answer(line, Command{});
    if (line.size() < kBlockHeader || line.compare(0, kPrefixLength, kBlockPrefix) != 0)
        return ignore(line, "unknown command");
    if (!allHex(line, kPrefixLength, kAddressDigits)) return ignore(line, "bad address digits");
    uint32_t address = 0;
    for (std::size_t i = 0; i < kAddressDigits; ++i)
        address = address * 16 + static_cast<uint32_t>(hexValue(line[kPrefixLength + i]));
    if (address >= MemorySize) return ignore(line, "address out of range");

    const char op = line[kBlockHeader - 1];
    const std::size_t digits = line.size() - kBlockHeader;
    if (op == 'R') {
        if (digits != 0) return ignore(line, "data after read");
        return answer(line, Command{CommandKind::Read, address, {}});
    }
    if (op != 'W') return ignore(line, "unknown command");
    if (digits == 0) return ignore(line, "write without data");
    if (digits % 2 != 0) return ignore(line, "odd digit count");
    if (digits > 2 * MaxWriteLength) return ignore(line, "block too long");
    // The radio takes a pair of 0x00 bytes in place of a byte's two digits
    // (the PC sends the unused last byte of each group record that way) and
    // stores 0x00 there.
    const auto nulPair = [&](std::size_t i) {
        return line[kBlockHeader + 2 * i] == '\0' && line[kBlockHeader + 2 * i + 1] == '\0';
    };
    for (std::size_t i = 0; i < digits / 2; ++i)
        if (!nulPair(i) && !allHex(line, kBlockHeader + 2 * i, 2)) return ignore(line, "bad data digits");
    Bytes data(digits / 2);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = nulPair(i) ? 0 : static_cast<uint8_t>(hexValue(line[kBlockHeader + 2 * i]) * 16 +
                                                        hexValue(line[kBlockHeader + 2 * i + 1]));
    answer(line, Command{CommandKind::Write, address, std::move(data)});
}

FaultKind Emulator::chooseFault(CommandKind kind, const Draw& draw) {
    const uint64_t n = stats_.exchanges;
    if (auto it = forced_.find(n); it != forced_.end()) {
        FaultKind k = it->second;
        forced_.erase(it);
        return k;
    }
    if (failNextCount_ > 0) {
        --failNextCount_;
        return failNextKind_;
    }
    if (kind == CommandKind::Identify && failIdCount_ > 0) {
        --failIdCount_;
        return failIdKind_;
    }
    if (draw.chance < options_.faultRate) return static_cast<FaultKind>(1 + draw.kind % RandomFaultKinds);
    return FaultKind::None;
}

void Emulator::answer(const std::string& line, const Command& command) {
    const CommandKind kind = command.kind;
    // Three draws per exchange, always, so that forcing one exchange does
    // not change what the seed does to the others.
    Draw draw;
    draw.chance = static_cast<double>(nextRandom() >> 11) * 0x1.0p-53;
    draw.kind = nextRandom();
    draw.param = nextRandom();

    Answer a;
    a.exchange = ++stats_.exchanges;
    a.kind = kind;
    a.commandLength = line.size() + 1;
    a.fault = chooseFault(kind, draw);
    if (a.fault == FaultKind::NotStored && kind != CommandKind::Write) a.fault = FaultKind::None;

    // Another block's answer: the same command for an address some whole
    // blocks away, so that only the echoed address tells it apart.
    std::string echoed = line;
    uint32_t dataAddress = command.address;
    if (a.fault == FaultKind::OtherAddress) {
        const uint32_t other = static_cast<uint32_t>((command.address + 64 * (1 + draw.param % 1000)) % MemorySize);
        char digits[8];
        std::snprintf(digits, sizeof digits, "%05X", other);
        if (kind == CommandKind::Identify) {
            echoed = std::string(kBlockPrefix) + digits + "R";  // 11 bytes with its CR, like the ID
        } else {
            echoed.replace(kPrefixLength, kAddressDigits, digits);
            dataAddress = other;
        }
    }
    if (kind == CommandKind::Write && a.fault != FaultKind::NotStored) {
        memory_.write(command.address, command.data);
        ++stats_.writes;
    }
    const bool closingOk = kind != CommandKind::Read;
    Bytes payload;
    if (closingOk) {
        payload = {'O', 'K'};
    } else {
        payload.reserve(2 * ReadBlockLength);
        for (uint8_t v : memory_.read(dataAddress, ReadBlockLength)) appendHex(payload, v);
    }

    Bytes& b = a.bytes;
    b.reserve(echoed.size() + 5 + payload.size());
    b.assign(echoed.begin(), echoed.end());
    b.push_back(CR);
    b.insert(b.end(), std::begin(kFiller), std::end(kFiller));
    b.insert(b.end(), payload.begin(), payload.end());
    b.push_back(CR);
    b.push_back(LF);

    switch (a.fault) {
        case FaultKind::None: break;
        case FaultKind::NoAnswer: b.clear(); break;
        case FaultKind::Short: b.resize(b.size() - (1 + draw.param % 4)); break;
        case FaultKind::ExtraByte: b.push_back(static_cast<uint8_t>(draw.param >> 8)); break;
        case FaultKind::BrokenTail:
            if (closingOk) {
                b[b.size() - 4] = 'N';
                b[b.size() - 3] = 'G';
            } else {
                b[b.size() - 2] = LF;
                b[b.size() - 1] = CR;
            }
            break;
        case FaultKind::Late: a.delay = options_.lateDelay; break;
        case FaultKind::OtherAddress:
        case FaultKind::NotStored: break;
    }
    if (a.fault != FaultKind::None) ++stats_.faults;

    std::string entry = std::to_string(a.exchange);
    switch (kind) {
        case CommandKind::Identify: entry += " ID"; break;
        case CommandKind::Read: entry += " R " + line.substr(kPrefixLength, kAddressDigits); break;
        case CommandKind::Write:
            entry += " W " + line.substr(kPrefixLength, kAddressDigits) + " " +
                     std::to_string((line.size() - kBlockHeader) / 2);
            break;
    }
    if (a.fault != FaultKind::None) entry += std::string(" [") + faultName(a.fault) + "]";
    addLog(std::move(entry));
    if (out_) out_->push_back(std::move(a));
}

}  // namespace tqm5::emu
