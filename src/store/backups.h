#pragma once
// Automatic backups of the three files of a source (boot file, parameter data, select data), made
// before the first write-back into it: $XDG_DATA_HOME/Tarvo_Riviza_Editor/backups/<source name>-
// <YYYYMMDD-HHMMSS>/ with the three files and manifest.json (the source's absolute path, its kind,
// each file's name, size and SHA-256, a sequence number, the UTC and the local time). The folder's
// name is for people: backups are ordered by the sequence number, as the local time goes back
// with daylight saving or a new time zone. The manifest is written and read here with a small
// JSON writer and reader of its own, so that the core needs no library.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/bytes.h"

namespace tarvo {

inline constexpr std::size_t kBackupsKept = 20;  // per source; older ones are removed

struct BackupFile {
    std::string name;
    std::uint64_t size = 0;
    std::string sha256;  // lower-case hex
};

struct BackupManifest {
    std::string source;          // absolute path
    std::string kind;            // "image" or "directory"
    std::string time;            // local time, "YYYY-MM-DDTHH:MM:SS"
    std::string utc;             // "YYYY-MM-DDTHH:MM:SSZ"; empty in backups made before it was recorded
    std::uint64_t sequence = 0;  // 1, 2, ... per source; 0 in backups made before it was recorded
    std::vector<BackupFile> files;
};

struct Backup {
    std::filesystem::path folder;
    BackupManifest manifest;
};

// $XDG_DATA_HOME (or ~/.local/share; on Windows the local application data folder) +
// "/Tarvo_Riviza_Editor/backups".
std::filesystem::path backupsRoot();
// The absolute, normalised path by which manifests name a source.
std::string sourceKey(const std::filesystem::path& source);

// The manifest.json of `folder`, when it is a regular file (no link) holding a manifest.
std::optional<BackupManifest> readManifest(const std::filesystem::path& folder);
// The backups of `source`, newest first: by sequence number, then those without one by their
// local time (and the number a folder's name got within one second).
std::vector<Backup> listBackups(const std::filesystem::path& source);

struct NamedData {
    std::string name;
    ByteSpan data;
};
// Copies the files into a new backup folder, unless the newest good backup of the source holds
// the same content (checked on its files, not on its manifest alone); then removes the source's
// backups beyond the kBackupsKept newest, and the temporary folders of backups interrupted long
// enough ago. `now` is the clock's time (tests set it back). Gives the new folder, an empty path
// when none was needed, or nullopt with `error`.
std::optional<std::filesystem::path> backUp(
    const std::filesystem::path& source, const std::string& kind, const std::vector<NamedData>& files,
    std::string& error, std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// The files' bytes in manifest order, when each is a regular file (no link) directly in the
// backup's folder with the size and SHA-256 its manifest gives, and the manifest names exactly
// `expectedNames` (in that order; any plain file names when it is empty). Otherwise nullopt with
// `error` saying what is wrong; nothing outside the folder is read.
std::optional<std::vector<Bytes>> readBackupFiles(const Backup& backup, std::string& error,
                                                  const std::vector<std::string>& expectedNames = {});
// Why the backup can not be restored (a file missing, changed, a link, a name that is no plain
// file name), or nullopt when it is good.
std::optional<std::string> backupDamage(const Backup& backup);

}  // namespace tarvo
