// info: what a SOURCE holds (the kind of source, the boot file found, the sizes of the three blocks
// and the archive's entry count); recover, backups and restore: undoing an interrupted write and
// the automatic backups; verify: the second copies, the sectors' codes and a left journal.

#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "cli_support.h"
#include "edit_support.h"
#include "records/verify.h"
#include "store/backups.h"
#include "store/sha256.h"

namespace tarvo::cli {
namespace {

struct InfoArgs {
    std::string source;
    bool json = false;
};

int infoCommand(const InfoArgs& args) {
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    const DataStore& store = source.store;

    const Source& loaded = *store.source();
    nlohmann::ordered_json info;
    info["kind"] = loaded.backupKind();
    // A CHD image is edited through a raw image extracted from it, which goes when the run ends.
    if (loaded.keyPath() != loaded.dataPath()) {
        info["chd image"] = utf8Path(loaded.path());
    } else if (loaded.path() != loaded.dataPath()) {
        // The sheet names the image it opened, which is the file every write goes into.
        info["cue sheet"] = utf8Path(loaded.path());
        info["image"] = utf8Path(loaded.dataPath());
    }
    if (loaded.kind() != SourceKind::Folder)
        info["sectors"] = loaded.kind() == SourceKind::CookedImage ? "cooked ISO, 2048 bytes" : "raw, 2352 bytes";
    info["boot file"] = store.bootFileName();
    info["boot size"] = store.boot().size();
    info["parameter size"] = store.parameter().size();
    info["select size"] = store.select().size();
    info["archive entries"] = store.archive().entryCount();
    if (args.json) {
        std::cout << info.dump(2) << '\n';
    } else {
        for (const auto& [key, value] : info.items())
            std::cout << key << ": " << (value.is_string() ? value.get<std::string>() : value.dump()) << '\n';
    }
    return 0;
}

struct BackupArgs : SourceArgs {
    std::string backup;
    bool json = false;
    bool force = false;
};

int recoverCommand(const BackupArgs& args) {
    return recoverSource(dataPathOf(pathFromUtf8(args.source)), messages()) ? 0 : 1;
}

// Whether the backup's manifest gives what SOURCE holds now (its files are checked apart).
bool matchesSource(const Backup& backup, const DataStore& store) {
    const ByteSpan blocks[] = {store.boot(), store.parameter(), store.select()};
    if (backup.manifest.files.size() != 3) return false;
    for (std::size_t i = 0; i < 3; ++i)
        if (backup.manifest.files[i].size != blocks[i].size() ||
            backup.manifest.files[i].sha256 != Sha256::hex(Sha256::of(blocks[i])))
            return false;
    return true;
}

int backupsCommand(const BackupArgs& args) {
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source)) return *refused;
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const Backup& backup : listBackups(source.store.sourcePath())) {
        const auto damage = backupDamage(backup);
        list.push_back({{"folder", utf8Path(backup.folder)},
                        {"time", backup.manifest.time},
                        {"utc", backup.manifest.utc},
                        {"damaged", damage.has_value()},
                        {"damage", damage.value_or("")},
                        {"matches source", !damage && matchesSource(backup, source.store)}});
    }
    if (args.json) std::cout << list.dump(2) << '\n';
    else
        for (const auto& item : list)
            std::cout << item["folder"].get<std::string>() << "  " << item["time"].get<std::string>()
                      << (item["damaged"].get<bool>()          ? "  damaged: " + item["damage"].get<std::string>()
                          : item["matches source"].get<bool>() ? "  matches the source"
                                                               : "")
                      << '\n';
    return 0;
}

int restoreCommand(const BackupArgs& args) {
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source, Use::Write)) return *refused;
    source.store.setBackups(!args.noBackup);
    const std::filesystem::path backup = pathFromUtf8(args.backup);
    RestoreResult result = RestoreResult::Refused;
    const int status = runWrite(
        source, [&] { return (result = source.store.restoreBackup(backup, args.force)) != RestoreResult::Refused; });
    if (result != RestoreResult::OtherSource) return status;
    const auto manifest = readManifest(backup);
    return refuse(args.backup + " is a backup of " + (manifest ? manifest->source : "another source") + ", not of " +
                  sourceKey(source.store.sourcePath()) + "; add --force to restore it all the same");
}

// Prints every finding (one line each, or a JSON object) and exits 1 when there is any.
int verifyCommand(const InfoArgs& args) {
    const auto findings = verifySource(pathFromUtf8(args.source));
    if (args.json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const VerifyFinding& f : findings)
            list.push_back({{"kind", f.kind}, {"where", f.where}, {"field", f.field}, {"text", f.text}});
        std::cout
            << nlohmann::ordered_json{{"source", args.source}, {"clean", findings.empty()}, {"findings", list}}.dump(2)
            << '\n';
    } else {
        for (const VerifyFinding& f : findings)
            std::cout << f.text
                      << (f.field == "interrupted" ? " (\"tarvo recover " + args.source + "\" undoes it)" : "") << '\n';
        std::cout << args.source << ": "
                  << (findings.empty() ? std::string("clean") : std::to_string(findings.size()) + " finding(s)")
                  << '\n';
    }
    return findings.empty() ? 0 : 1;
}

}  // namespace

void registerStoreCommands(CLI::App& app, int& status) {
    // Commands that make no backup, so without --no-backup (recover only undoes a write).
    const auto addReading = [&]<typename Args>(const char* name, const std::string& description,
                                               std::shared_ptr<Args> args, int (*run)(const Args&)) {
        CLI::App* command = addCommand(app, status, name, description, args, run);
        command
            ->add_option("SOURCE", args->source,
                         "a CD image file, its CUE sheet, a CHD image or a directory of exported files")
            ->required();
        return command;
    };
    auto backupArgs = std::make_shared<BackupArgs>();
    addReading("recover",
               "Undoes a write into SOURCE that was interrupted (the program or the machine stopped), from the "
               "journal it left; a journal cut short is removed and SOURCE left as it is. Refused while another "
               "program writes into SOURCE (the journal is then that write's)",
               backupArgs, recoverCommand);

    addSourceCommand(app, status, "backups",
                     "Lists the backups of SOURCE, newest first: folder, local time, and whether it holds what "
                     "SOURCE holds now or is damaged (a file missing or changed)",
                     backupArgs, backupsCommand)
        ->add_flag("--json", backupArgs->json, "print a JSON array");
    CLI::App* restore = addSourceCommand(
        app, status, "restore",
        "Writes the three files of BACKUP back into SOURCE (all or nothing), after checking their sizes and "
        "SHA-256 against the manifest; what SOURCE holds is backed up first unless the newest backup holds it",
        backupArgs, restoreCommand);
    restore->add_option("BACKUP", backupArgs->backup, "a backup folder, as `tarvo backups` lists them")->required();
    restore->add_flag("--force", backupArgs->force, "restore a backup made of another source");

    auto infoArgs = std::make_shared<InfoArgs>();
    addReading("info",
               "Shows what SOURCE holds: image or directory, the boot file found, the sizes of the boot file, the "
               "parameter data and the select data, and the number of archive entries",
               infoArgs, infoCommand)
        ->add_flag("--json", infoArgs->json, "print one JSON object");
    auto verifyArgs = std::make_shared<InfoArgs>();
    addReading("verify",
               "Checks SOURCE without changing it: second copies of player data, national squads and club names "
               "that differ from the primary, image sectors whose EDC or ECC does not match, a journal left by an "
               "interrupted write, blocks too short; exits 1 when anything is found",
               verifyArgs, verifyCommand)
        ->add_flag("--json", verifyArgs->json, "print one JSON object");
}

}  // namespace tarvo::cli
