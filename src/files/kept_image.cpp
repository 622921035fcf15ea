#include "files/kept_image.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "base/hex.h"
#include "files/safety_copies.h"
#include "files/text_file.h"

namespace tqm5 {

namespace fs = std::filesystem;

namespace {

constexpr const char* JournalHead = "TQM5 Writer write journal 1";

fs::path keptPath(const std::string& key) { return fs::path(keptImageFolder()) / (key + ImageExtension); }
fs::path journalPath(const std::string& key) { return fs::path(keptImageFolder()) / (key + ".journal"); }
fs::path targetPath(const std::string& key) {
    return fs::path(keptImageFolder()) / (key + ".target" + ImageExtension);
}

Result<void> makeFolder() {
    std::error_code ec;
    fs::create_directories(keptImageFolder(), ec);
    if (ec) return Failure{"cannot create " + keptImageFolder() + ": " + ec.message()};
    return {};
}

std::string hex8(uint32_t v) { return hexText(v, 8); }

}  // namespace

bool knowsWhatWritesSend(const RadioImage& image) {
    for (const ImageRegion& r : imageRegions())
        if (r.area.address != radio::WriteProtect.address && !image.knows(r.area)) return false;
    return true;
}

std::string keptImageFolder() {
    // Beside the safety copies, in the program's data folder.
    return (fs::path(safetyCopyFolder()).parent_path() / "radios").string();
}

std::string radioKey(const std::string& device, int port) {
    if (device.empty()) return "port-" + std::to_string(port);
    std::string key;
    for (char c : device) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.';
        if (plain) key += c;
        else if (!key.empty() && key.back() != '_') key += '_';
    }
    return key.empty() ? "port-" + std::to_string(port) : key;
}

Result<void> keepRadioImage(const std::string& key, const RadioImage& image) {
    if (!knowsWhatWritesSend(image)) return {};
    if (Result<void> folder = makeFolder(); !folder) return folder;
    return saveImageFile(keptPath(key).string(), image);
}

Result<std::optional<RadioImage>> keptRadioImage(const std::string& key) {
    std::error_code ec;
    if (!fs::exists(keptPath(key), ec)) return std::optional<RadioImage>{};
    const Result<RadioImage> image = loadImageFile(keptPath(key).string());
    if (!image) return Failure{"the image kept of this radio cannot be used (" + image.error() + ")"};
    return std::optional<RadioImage>{image.value()};
}

const char* const RadioClaim::HeldText = "another program is working on this radio";

Result<RadioClaim> RadioClaim::take(const std::string& key) {
    if (Result<void> folder = makeFolder(); !folder) return Failure{folder.error()};
    const std::string path = (fs::path(keptImageFolder()) / (key + ".lock")).string();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return Failure{"cannot take the lock " + path + ": " + std::strerror(errno)};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return Failure{HeldText};
    }
    return RadioClaim(fd);
}

RadioClaim& RadioClaim::operator=(RadioClaim&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

RadioClaim::~RadioClaim() {
    if (fd_ >= 0) ::close(fd_);  // closing lets the lock go
}

void forgetRadioImage(const std::string& key) {
    std::error_code ec;
    fs::remove(keptPath(key), ec);
}

Result<void> startJournal(const std::string& key, const RadioImage& target, const std::vector<uint32_t>& plan) {
    if (Result<void> folder = makeFolder(); !folder) return folder;
    if (Result<void> saved = saveImageFile(targetPath(key).string(), target); !saved) return saved;
    const Bytes file = serializeImage(target);
    std::ostringstream text;
    text << JournalHead << "\nimage " << hex8(crc32(file.data(), file.size())) << "\nplan " << plan.size() << "\n";
    for (uint32_t address : plan) text << hexText(address, 5) << "\n";
    text << "taken\n";
    return files::saveAtomically(journalPath(key).string(), text.str());
}

Result<void> noteAcknowledged(const std::string& key, uint32_t address) {
    std::ofstream out(journalPath(key), std::ios::app);
    out << hexText(address, 5) << "\n";
    out.flush();
    if (!out) return Failure{"cannot add to " + journalPath(key).string()};
    return {};
}

Result<JournalText> parseJournal(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string head, word, line;
    JournalText journal;
    std::size_t planned = 0;
    if (!std::getline(in, head) || head != JournalHead) return Failure{"it is not a journal"};
    if (!(in >> word >> journal.imageCheck) || word != "image" || journal.imageCheck.size() != 8)
        return Failure{"no image check"};
    if (!(in >> word >> planned) || word != "plan" || planned == 0 || planned > 10000) return Failure{"no plan"};
    // One address a line: five hexadecimal digits.
    const auto address = [](const std::string& text) -> std::optional<uint32_t> {
        return text.size() == 5 ? parseHex(text) : std::nullopt;
    };
    for (std::size_t i = 0; i < planned; ++i) {
        std::optional<uint32_t> a;
        if (!(in >> line) || !(a = address(line))) return Failure{"the plan is cut short"};
        journal.plan.push_back(*a);
    }
    if (!(in >> word) || word != "taken") return Failure{"the plan is cut short"};
    while (in >> line) {
        const std::optional<uint32_t> a = address(line);
        // A line the end of the program cut short is the last one.
        if (!a && in.peek() == EOF && line.size() < 5) break;
        if (!a || std::find(journal.plan.begin(), journal.plan.end(), *a) == journal.plan.end())
            return Failure{"a line reads \"" + line + "\""};
        journal.acknowledged.push_back(*a);
    }
    return journal;
}

Result<std::optional<WriteJournal>> openJournal(const std::string& key) {
    std::error_code ec;
    if (!fs::exists(journalPath(key), ec)) return std::optional<WriteJournal>{};
    const auto damaged = [&](const std::string& why) {
        return Failure{"the journal of an unfinished write to this radio (" + journalPath(key).string() +
                       ") cannot be used: " + why};
    };
    std::ifstream in(journalPath(key));
    std::ostringstream whole;
    whole << in.rdbuf();
    const Result<JournalText> text = parseJournal(whole.str());
    if (!text) return damaged(text.error());
    const Result<RadioImage> target = loadImageFile(targetPath(key).string());
    if (!target) return damaged(target.error());
    const Bytes file = serializeImage(target.value());
    if (hex8(crc32(file.data(), file.size())) != text.value().imageCheck)
        return damaged("its image is not the one it was started with");
    return std::optional<WriteJournal>{WriteJournal{target.value(), text.value().plan, text.value().acknowledged}};
}

void removeJournal(const std::string& key) {
    std::error_code ec;
    fs::remove(journalPath(key), ec);
    fs::remove(targetPath(key), ec);
}

}  // namespace tqm5
