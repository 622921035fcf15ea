#include "files/kept_image.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "base/hex.h"
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

bool makeFolder(std::string& error) {
    std::error_code ec;
    fs::create_directories(keptImageFolder(), ec);
    if (ec) error = "cannot create " + keptImageFolder() + ": " + ec.message();
    return !ec;
}

// The regions a write sends.
bool knowsAllWritten(const RadioImage& image) {
    for (const ImageRegion& r : imageRegions())
        if (r.area.address != radio::WriteProtect.address && !image.knows(r.area)) return false;
    return true;
}

}  // namespace

std::string keptImageFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    fs::path base;
    if (data && *data && fs::path(data).is_absolute()) {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && *home ? home : ".") / ".local" / "share";
    }
    return (base / "tqm5writer" / "radios").string();
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

bool keepRadioImage(const std::string& key, const RadioImage& image, std::string& error) {
    if (!knowsAllWritten(image)) return true;
    if (!makeFolder(error)) return false;
    const Result<void> saved = saveImageFile(keptPath(key).string(), image);
    if (!saved) error = saved.error();
    return saved.ok();
}

std::optional<RadioImage> keptRadioImage(const std::string& key, std::string& error) {
    error.clear();
    std::error_code ec;
    if (!fs::exists(keptPath(key), ec)) return std::nullopt;
    Result<RadioImage> image = loadImageFile(keptPath(key).string());
    if (!image) {
        error = "the image kept of this radio cannot be used (" + image.error() + ")";
        return std::nullopt;
    }
    return std::move(image.value());
}

void forgetRadioImage(const std::string& key) {
    std::error_code ec;
    fs::remove(keptPath(key), ec);
}

bool startJournal(const std::string& key, const RadioImage& target, int blocks, std::string& error) {
    if (!makeFolder(error)) return false;
    if (const Result<void> saved = saveImageFile(targetPath(key).string(), target); !saved) {
        error = saved.error();
        return false;
    }
    const Bytes file = serializeImage(target);
    std::ostringstream text;
    text << JournalHead << "\nblocks " << blocks << "\nimage " << hexText(crc32(file.data(), file.size()), 8) << "\n";
    const Result<void> saved = files::saveAtomically(journalPath(key).string(), text.str());
    if (!saved) error = saved.error();
    return saved.ok();
}

bool noteAcknowledged(const std::string& key, uint32_t address, std::string& error) {
    std::ofstream out(journalPath(key), std::ios::app);
    out << hexText(address, 5) << '\n';
    out.flush();
    if (!out) error = "cannot add to " + journalPath(key).string();
    return static_cast<bool>(out);
}

std::optional<WriteJournal> openJournal(const std::string& key, std::string& error) {
    error.clear();
    std::error_code ec;
    if (!fs::exists(journalPath(key), ec)) return std::nullopt;
    const auto damaged = [&](const std::string& why) {
        error = "the journal of an unfinished write to this radio (" + journalPath(key).string() +
                ") cannot be used: " + why;
        return std::nullopt;
    };
    std::ifstream in(journalPath(key));
    std::string head, word, crc;
    WriteJournal journal;
    if (!std::getline(in, head) || head != JournalHead) return damaged("it is not a journal");
    if (!(in >> word >> journal.blocks) || word != "blocks" || journal.blocks <= 0) return damaged("no block count");
    if (!(in >> word >> crc) || word != "image") return damaged("no image check");
    Result<RadioImage> target = loadImageFile(targetPath(key).string());
    if (!target) return damaged(target.error());
    const Bytes file = serializeImage(target.value());
    if (hexText(crc32(file.data(), file.size()), 8) != crc) return damaged("its image is not the one it was started with");
    journal.target = std::move(target.value());
    std::string line;
    while (in >> line) {
        char* end = nullptr;
        const unsigned long address = std::strtoul(line.c_str(), &end, 16);
        // A line cut by the end of the program is the last one; anything
        // else that is not an address is damage.
        if (line.size() != 5 || *end != '\0') {
            if (in.peek() == EOF && line.size() < 5) break;
            return damaged("a line reads \"" + line + "\"");
        }
        journal.acknowledged.push_back(static_cast<uint32_t>(address));
    }
    if (static_cast<int>(journal.acknowledged.size()) > journal.blocks) return damaged("more blocks than the write had");
    return journal;
}

void removeJournal(const std::string& key) {
    std::error_code ec;
    fs::remove(journalPath(key), ec);
    fs::remove(targetPath(key), ec);
}

}  // namespace tqm5
