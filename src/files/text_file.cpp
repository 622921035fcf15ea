#include "files/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <unicode/ustring.h>

#include "channels/cp932.h"

namespace tqm5::files {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

}  // namespace

bool isUtf8Text(std::string_view bytes) {
    if (bytes.starts_with(Utf8Mark)) return true;
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return false;  // plain ASCII reads the same either way
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) return false;
    // ICU refuses every malformed sequence (overlong forms, surrogates, cut
    // characters); Shift-JIS text almost never passes.
    UErrorCode err = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, bytes.data(), static_cast<int32_t>(bytes.size()), &err);
    return err == U_BUFFER_OVERFLOW_ERROR || U_SUCCESS(err);
}

std::string textFromFile(std::string_view bytes) {
    if (!isUtf8Text(bytes)) return fromCp932(bytes);
    if (bytes.starts_with(Utf8Mark)) bytes.remove_prefix(Utf8Mark.size());
    // Through UTF-16 and back, so that a damaged sequence after a byte order
    // mark becomes U+FFFD rather than bytes no character stands for.
    const auto n = static_cast<int32_t>(bytes.size());
    std::u16string wide(bytes.size(), u'\0');
    UErrorCode err = U_ZERO_ERROR;
    int32_t wideLength = 0;
    u_strFromUTF8WithSub(wide.data(), n, &wideLength, bytes.data(), n, 0xFFFD, nullptr, &err);
    if (U_FAILURE(err)) return fromCp932(bytes);
    std::string out(static_cast<std::size_t>(wideLength) * 3, '\0');
    int32_t outLength = 0;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &outLength, wide.data(), wideLength, &err);
    if (U_FAILURE(err)) return fromCp932(bytes);
    out.resize(static_cast<std::size_t>(outLength));
    return out;
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

std::string threeDigits(int value) {
    if (value < 0) value = 0;
    if (value < 10) return "00" + std::to_string(value);
    if (value < 100) return "0" + std::to_string(value);
    return std::to_string(value);
}

std::string twoDigits(int value) {
    if (value < 0) value = 0;
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

Result<std::string> readWholeFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return Failure{"it is a folder"};
    std::ifstream in(path, std::ios::binary);
    if (!in) return Failure{std::strerror(errno)};
    std::string out(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
    if (in.bad()) return Failure{"it could not be read"};
    return out;
}

namespace {

std::string systemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// Permissions for a new file: those of the file it replaces, else the
// usual ones for a new file.
mode_t modeFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

Result<void> saveAtomically(const std::string& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    if (path.empty()) return Failure{"no file name"};
    std::error_code ec;
    if (fs::is_directory(path, ec)) return Failure{"it is a folder"};
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) folder = ".";
    std::string temp = (folder / ("." + fs::path(path).filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return Failure{systemError("cannot create a file in the folder")};
    std::string error;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0 && error.empty()) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = systemError("cannot write");
        } else {
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    if (error.empty() && ::fchmod(fd, modeFor(path)) != 0) error = systemError("cannot set permissions");
    if (error.empty() && ::fsync(fd) != 0) error = systemError("cannot write to the disk");
    if (::close(fd) != 0 && error.empty()) error = systemError("cannot close");
    if (error.empty() && ::rename(temp.c_str(), path.c_str()) != 0) error = systemError("cannot replace the file");
    if (!error.empty()) {
        ::unlink(temp.c_str());
        return Failure{error};
    }
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

std::string withDefaultExtension(const std::string& path, std::string_view extension) {
    if (path.empty()) return path;
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty() || name == "." || name == "..") return path;
    const std::size_t dot = name.rfind('.');
    // A leading dot makes a hidden file, not an extension; a trailing one
    // leaves no extension.
    if (dot != std::string_view::npos && dot > 0 && dot + 1 < name.size()) return path;
    std::string out = path;
    if (!out.empty() && out.back() == '.') out.pop_back();
    return out + std::string(extension);
}

bool folderWritable(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace tqm5::files
