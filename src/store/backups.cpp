#include "store/backups.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <map>
#include <random>
#include <regex>
#include <system_error>
#include <tuple>

#include "store/file_access.h"
#include "store/file_io.h"
#include "store/file_platform.h"
#include "store/sha256.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kManifestName = "manifest.json";
constexpr std::uint64_t kMaxManifestSize = 64u << 10;

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += std::string("\\") + c;
        else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else out += c;
    }
    return out + "\"";
}

std::string manifestJson(const BackupManifest& manifest) {
    std::string out =
        "{\n  \"source\": " + jsonString(manifest.source) + ",\n  \"kind\": " + jsonString(manifest.kind) +
        ",\n  \"sequence\": " + std::to_string(manifest.sequence) + ",\n  \"utc\": " + jsonString(manifest.utc) +
        ",\n  \"time\": " + jsonString(manifest.time) + ",\n  \"files\": [";
    for (std::size_t i = 0; i < manifest.files.size(); ++i) {
        const BackupFile& f = manifest.files[i];
        out += std::string(i ? "," : "") + "\n    {\"name\": " + jsonString(f.name) +
               ", \"size\": " + std::to_string(f.size) + ", \"sha256\": " + jsonString(f.sha256) + "}";
    }
    return out + "\n  ]\n}\n";
}

// Reads the JSON of a manifest: objects, arrays, strings, whole numbers. Anything else, or a
// structure other than the manifest's, gives nullopt.
class ManifestReader {
public:
    explicit ManifestReader(std::string_view text) : m_text(text) {}

    std::optional<BackupManifest> read() {
        BackupManifest manifest;
        bool ok = object([&](const std::string& key) {
            if (key == "files")
                return array([&] {
                    BackupFile file;
                    manifest.files.push_back(file);
                    return object([&](const std::string& k) {
                        BackupFile& f = manifest.files.back();
                        if (k == "size") return number(f.size);
                        return string(k == "name" ? f.name : k == "sha256" ? f.sha256 : m_ignored);
                    });
                });
            if (key == "sequence") return number(manifest.sequence);
            return string(key == "source" ? manifest.source
                          : key == "kind" ? manifest.kind
                          : key == "time" ? manifest.time
                          : key == "utc"  ? manifest.utc
                                          : m_ignored);
        });
        skipSpace();
        if (!ok || m_at != m_text.size()) return std::nullopt;
        return manifest;
    }

private:
    void skipSpace() {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at]))) ++m_at;
    }
    bool take(char c) {
        skipSpace();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    bool string(std::string& out) {
        if (!take('"')) return false;
        out.clear();
        while (m_at < m_text.size() && m_text[m_at] != '"') {
            char c = m_text[m_at++];
            if (c == '\\') {
                if (m_at >= m_text.size()) return false;
                c = m_text[m_at++];
                if (c == 'u') {
                    if (m_at + 4 > m_text.size()) return false;
                    c = static_cast<char>(std::strtoul(std::string(m_text.substr(m_at, 4)).c_str(), nullptr, 16));
                    m_at += 4;
                }
            }
            out += c;
        }
        return take('"');
    }
    bool number(std::uint64_t& out) {
        skipSpace();
        const std::size_t start = m_at;
        out = 0;
        while (m_at < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_at])) && m_at - start < 19)
            out = out * 10 + static_cast<std::uint64_t>(m_text[m_at++] - '0');
        return m_at > start;
    }
    template <typename Member>
    bool object(Member member) {
        if (!take('{')) return false;
        if (take('}')) return true;
        do {
            std::string key;
            if (!string(key) || !take(':') || !member(key)) return false;
        } while (take(','));
        return take('}');
    }
    template <typename Item>
    bool array(Item item) {
        if (!take('[')) return false;
        if (take(']')) return true;
        do {
            if (!item()) return false;
        } while (take(','));
        return take(']');
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::string m_ignored;
};

std::string timeText(const std::tm& t, const char* format) {
    char text[32];
    std::strftime(text, sizeof text, format, &t);
    return text;
}

bool writeNewFile(const fs::path& file, ByteSpan data, std::string& error) {
    auto out = diskAccess().open(file, OpenMode::CreateNew, error);
    if (!out) return false;
    if (out->write(0, data) && out->flush()) return true;
    error = out->error();
    return false;
}

// A backup is made in a hidden folder ".tarvo-backup-<16 hex digits>.tmp" and renamed when complete;
// earlier versions of this program used ".<backup name>.tmp-<number>". A backup's own name always
// ends in digits, so neither pattern can be one.
bool isTemporaryName(const std::string& name) {
    static const std::regex current(R"(\.tarvo-backup-[0-9a-f]{16}\.tmp)");
    static const std::regex earlier(R"(\..+-\d{8}-\d{6}(-\d{1,6})?\.tmp-\d{1,6})");
    return std::regex_match(name, current) || std::regex_match(name, earlier);
}

// A temporary folder untouched for this long belongs to a backup that was interrupted; a younger
// one may be another program's backup in progress.
constexpr auto kInterruptedAfter = std::chrono::minutes(10);

void removeInterrupted(const fs::path& root) {
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        if (!isTemporaryName(entry.path().filename().string()) || !fs::is_directory(entry.symlink_status(ec))) continue;
        const auto written = entry.last_write_time(ec);
        if (!ec && now - written > kInterruptedAfter) left.push_back(entry.path());
    }
    for (const fs::path& folder : left) fs::remove_all(folder, ec);
}

// A name that stays inside the backup's folder: no separator, no drive, not "." nor "..", not the
// manifest's own.
bool plainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name != kManifestName &&
           std::ranges::none_of(
               name, [](char c) { return c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20; });
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

fs::path backupsRoot() {
    fs::path base;
#ifdef _WIN32
    if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA")) base = local;
#else
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) base = data;
    else if (const char* home = std::getenv("HOME")) base = fs::path(home) / ".local" / "share";
#endif
    if (base.empty()) base = fs::temp_directory_path();
    return base / "Tarvo_Riviza_Editor" / "backups";
}

std::string sourceKey(const fs::path& source) {
    std::error_code ec;
    fs::path key = fs::weakly_canonical(fs::absolute(source), ec);
    if (ec) key = fs::absolute(source).lexically_normal();
    std::string text = key.string();
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) text.pop_back();
    return text;
}

std::optional<BackupManifest> readManifest(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(folder / kManifestName, ec))) return std::nullopt;
    std::string error;
    const auto data = readWholeFile(folder / kManifestName, kMaxManifestSize, error);
    if (!data) return std::nullopt;
    return ManifestReader(std::string_view(reinterpret_cast<const char*>(data->data()), data->size())).read();
}

std::vector<Backup> listBackups(const fs::path& source) {
    std::vector<Backup> backups;
    const std::string key = sourceKey(source);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(backupsRoot(), ec)) {
        if (isTemporaryName(entry.path().filename().string()) || !fs::is_directory(entry.symlink_status(ec))) continue;
        auto manifest = readManifest(entry.path());
        if (manifest && manifest->source == key) backups.push_back({entry.path(), std::move(*manifest)});
    }
    // Backups made within one second are told apart by the number their folder's name got
    // ("<name>-<date>-<time>-2", "-3", ...); file times are too coarse on some systems. Only
    // backups without a sequence number need it.
    static const std::regex numbered(R"(.*-\d{8}-\d{6}-(\d{1,6}))");
    auto order = [](const Backup& backup) {
        std::smatch match;
        const std::string name = backup.folder.filename().string();
        const int n = std::regex_match(name, match, numbered) ? std::stoi(match[1].str()) : 1;
        const BackupManifest& m = backup.manifest;
        return std::tuple(m.sequence, m.utc, m.time, n);
    };
    std::sort(backups.begin(), backups.end(), [&](const Backup& a, const Backup& b) { return order(a) > order(b); });
    return backups;
}

std::optional<fs::path> backUp(const fs::path& source, const std::string& kind, const std::vector<NamedData>& files,
                               std::string& error, std::chrono::system_clock::time_point now) {
    BackupManifest manifest;
    manifest.source = sourceKey(source);
    manifest.kind = kind;
    for (const NamedData& file : files)
        manifest.files.push_back({file.name, file.data.size(), Sha256::hex(Sha256::of(file.data))});
    auto backups = listBackups(source);
    auto sameFiles = [&](const BackupManifest& other) {
        return std::ranges::equal(other.files, manifest.files, [](const BackupFile& a, const BackupFile& b) {
            return a.name == b.name && a.size == b.size && a.sha256 == b.sha256;
        });
    };
    // Only a backup whose files are still what its manifest says holds anything.
    for (const Backup& backup : backups) {
        if (backupDamage(backup)) continue;
        if (sameFiles(backup.manifest)) return fs::path();
        break;
    }
    for (const Backup& backup : backups) manifest.sequence = std::max(manifest.sequence, backup.manifest.sequence);
    ++manifest.sequence;

    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{}, utc{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
    gmtime_s(&utc, &seconds);
#else
    localtime_r(&seconds, &local);
    gmtime_r(&seconds, &utc);
#endif
    manifest.time = timeText(local, "%Y-%m-%dT%H:%M:%S");
    manifest.utc = timeText(utc, "%Y-%m-%dT%H:%M:%SZ");
    const fs::path root = backupsRoot();
    std::error_code ec;
    fs::create_directories(root, ec);
    removeInterrupted(root);
    const std::string base = fs::path(manifest.source).filename().string() + "-" + timeText(local, "%Y%m%d-%H%M%S");
    // A backup of the same second gets the next number after the highest there, so that the
    // names stay apart even after the oldest have been removed.
    int next = 1;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        const std::string other = entry.path().filename().string();
        if (other == base) next = std::max(next, 2);
        const std::string numbered = base + "-";
        if (other.size() > numbered.size() && other.size() <= numbered.size() + 6 && other.starts_with(numbered) &&
            std::all_of(other.begin() + static_cast<std::ptrdiff_t>(numbered.size()), other.end(),
                        [](char c) { return c >= '0' && c <= '9'; }))
            next = std::max(next, std::stoi(other.substr(numbered.size())) + 1);
    }
    const auto nameOf = [&base](int n) { return n == 1 ? base : base + "-" + std::to_string(n); };
    // Made under a hidden name and renamed when complete, so that no half backup is ever listed.
    std::random_device random;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%08x%08x", random(), random());
    const fs::path building = root / (std::string(".tarvo-backup-") + hex + ".tmp");
    if (!fs::create_directory(building, ec)) {
        error = "Can not create the backup folder " + utf8Path(building) + ": " + ec.message();
        return std::nullopt;
    }
    const std::string json = manifestJson(manifest);
    bool written = true;
    for (const NamedData& file : files)
        if (!(written = writeNewFile(building / file.name, file.data, error))) break;
    written = written && writeNewFile(building / kManifestName,
                                      ByteSpan(reinterpret_cast<const std::uint8_t*>(json.data()), json.size()), error);
    // The folder's names are on the disk before it is renamed into place, so that a power loss
    // never leaves a listed backup with files missing.
    if (written && !platform::syncFolder(building)) {
        written = false;
        error = "its folder can not be flushed to the disk";
    }
    // Another program writing back a source of the same name in the same second may have taken
    // the name meanwhile: the rename then fails and the next number is tried.
    constexpr int kNamesTried = 100;
    std::string name = nameOf(next);
    bool placed = false;
    for (int tried = 0; written && !placed && tried < kNamesTried; ++tried) {
        name = nameOf(next++);
        if (fs::exists(root / name, ec)) continue;
        fs::rename(building, root / name, ec);
        placed = !ec;
        if (ec && !fs::exists(root / name)) break;  // refused for another reason than the name
    }
    if (!placed) {
        if (written) error = ec ? ec.message() : "every name of this second is taken";
        error = "Can not write the backup " + utf8Path(root / name) + ": " + error;
        fs::remove_all(building, ec);
        return std::nullopt;
    }
    platform::syncFolder(root);

    // Only folders of this source's backups, as listed by their manifests, are ever removed; the
    // one just made is the newest by its sequence number, whatever the clock said.
    backups = listBackups(source);
    for (std::size_t i = kBackupsKept; i < backups.size(); ++i)
        if (backups[i].folder != root / name) fs::remove_all(backups[i].folder, ec);
    return root / name;
}

std::optional<std::vector<Bytes>> readBackupFiles(const Backup& backup, std::string& error,
                                                  const std::vector<std::string>& expectedNames) {
    const std::vector<BackupFile>& listed = backup.manifest.files;
    std::vector<std::string> names;
    for (const BackupFile& file : listed) names.push_back(file.name);
    const std::string where = utf8Path(backup.folder / kManifestName);
    if (!expectedNames.empty() && names != expectedNames) {
        error =
            where + " names the files " + joined(names) + "; a backup of this source holds " + joined(expectedNames);
        return std::nullopt;
    }
    if (names.empty()) {
        error = where + " names no file";
        return std::nullopt;
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        if (!plainFileName(names[i]) || std::find(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(i),
                                                  names[i]) != names.begin() + static_cast<std::ptrdiff_t>(i)) {
            error = where + " names \"" + names[i] + "\", which is not a file of its own folder";
            return std::nullopt;
        }
    std::vector<Bytes> files;
    for (const BackupFile& file : listed) {
        const fs::path path = backup.folder / pathFromUtf8(file.name);
        std::error_code ec;
        const auto status = fs::symlink_status(path, ec);
        if (!fs::is_regular_file(status)) {
            error = utf8Path(path) + (fs::exists(status) ? " is not a regular file" : " is missing");
            return std::nullopt;
        }
        auto data = readWholeFile(path, kMaxDataFileSize, error);
        if (!data) {
            error = "Can not read " + utf8Path(path) + ": " + error;
            return std::nullopt;
        }
        if (data->size() != file.size || Sha256::hex(Sha256::of(*data)) != file.sha256) {
            error = utf8Path(path) + " does not match its manifest (size or SHA-256)";
            return std::nullopt;
        }
        files.push_back(std::move(*data));
    }
    return files;
}

std::optional<std::string> backupDamage(const Backup& backup) {
    std::string error;
    if (readBackupFiles(backup, error)) return std::nullopt;
    return error;
}

}  // namespace tarvo
