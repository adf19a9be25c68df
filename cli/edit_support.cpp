#include "edit_support.h"

#include <iostream>

namespace tarvo::cli {

void CommandMessages::show(const Message& message) {
    if (m_printing) messages().show(message);
    else m_collected.push_back(message);
}

void CommandMessages::flush() {
    for (const Message& message : m_collected) messages().show(message);
    m_collected.clear();
    m_printing = true;
}

std::string CommandMessages::takeLine() {
    std::string line;
    for (const Message& message : m_collected) {
        std::string text = message.text;
        for (auto& c : text)
            if (c == '\n') c = ' ';
        line += (line.empty() ? "" : "; ") + text;
    }
    m_collected.clear();
    return line;
}

std::optional<int> loadOrRefuse(LoadedSource& source, const std::string& path, Use use) {
    source.messages.collect();
    source.store.setHoldLock(use == Use::Write);
    if (!loadSource(source.store, pathFromUtf8(path)))
        return refuse(source.messages.takeLine() + adviceFor(source.store.lastFailure().kind(), path));
    source.messages.flush();
    return std::nullopt;
}

int writeBack(LoadedSource& source, WriteBackup backup) {
    source.store.setBackups(backup == WriteBackup::Make);
    return runWrite(source, [&] { return source.store.WriteBack(); });
}

int runWrite(LoadedSource& source, const std::function<bool()>& operation) {
    source.messages.collect();
    if (!operation())
        return refuse(source.messages.takeLine() +
                      adviceFor(source.store.lastFailure().kind(), utf8Path(source.store.sourcePath())));
    source.messages.flush();
    return 0;
}

int runOperation(LoadedSource& source, const std::function<bool()>& operation) {
    source.messages.collect();
    if (!operation()) return refuse(source.messages.takeLine());
    source.messages.flush();
    return 0;
}

CLI::App* addSourceCommand(CLI::App& app, const char* name, const std::string& description, SourceArgs& args) {
    CLI::App* command = app.add_subcommand(name, description);
    command
        ->add_option("SOURCE", args.source,
                     "a CD image file, its CUE sheet, a CHD image or a directory of exported files")
        ->required();
    command->add_flag("--no-backup", args.noBackup,
                      "when this command writes into SOURCE, make no backup before (for scripts that keep their own)");
    return command;
}

int writeText(const std::string& text, const std::string& file, MessageService& messages) {
    if (file.empty()) {
        std::cout << text;
        return 0;
    }
    const ByteSpan bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return writeFileReporting(pathFromUtf8(file), bytes, messages) ? 0 : 1;
}

void printJson(const nlohmann::ordered_json& value, bool json) {
    if (json || !value.is_object()) {
        std::cout << value.dump(json ? 2 : -1) << '\n';
        return;
    }
    for (const auto& [key, member] : value.items())
        std::cout << key << ": " << (member.is_string() ? member.get<std::string>() : member.dump()) << '\n';
}

}  // namespace tarvo::cli
