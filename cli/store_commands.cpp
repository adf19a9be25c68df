// info: what a SOURCE holds (the kind of source, the boot file found, the sizes of the three blocks
// and the archive's entry count).

#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "cli_support.h"

namespace tarvo::cli {
namespace {

struct InfoArgs {
    std::string source;
    bool json = false;
};

int infoCommand(const InfoArgs& args) {
    MessageLog log;
    DataStore store(log);
    const bool loaded = loadSource(store, pathFromUtf8(args.source));
    if (!loaded) {
        // One line: every message of the failed load, in order.
        std::string text;
        for (const Message& message : log.messages) text += (text.empty() ? "" : "; ") + message.text;
        return refuse(text);
    }
    StderrMessages stderrMessages;
    for (const Message& message : log.messages) stderrMessages.show(message);

    const bool image = store.sourceMode() == SourceMode::CdImage;
    nlohmann::ordered_json info;
    info["kind"] = image ? "image" : "directory";
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

}  // namespace

void registerStoreCommands(CLI::App& app, int& status) {
    auto args = std::make_shared<InfoArgs>();
    CLI::App* command = app.add_subcommand(
        "info",
        "Shows what SOURCE holds: image or directory, the boot file found, the sizes of the boot file, "
        "the parameter data and the select data, and the number of archive entries");
    command->add_option("SOURCE", args->source, "a CD image file or a directory of exported files")->required();
    command->add_flag("--json", args->json, "print one JSON object");
    command->callback([args, &status] { status = infoCommand(*args); });
}

}  // namespace tarvo::cli
