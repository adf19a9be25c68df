#include "edit_support.h"

#include <charconv>
#include <iostream>

#include "input_text.h"
#include "text/sjis.h"

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

bool& backupsSkipped() {
    static bool skipped = false;
    return skipped;
}

int writeBack(LoadedSource& source) {
    source.store.setBackups(!backupsSkipped());
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

std::optional<std::int64_t> parseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseInRange(std::string_view text, std::int64_t min, std::int64_t max) {
    const auto value = parseInteger(text);
    if (!value || *value < min || *value > max) return std::nullopt;
    return value;
}

std::optional<Assignment> parseAssignment(const std::string& text) {
    const auto eq = text.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return Assignment{text.substr(0, eq), text.substr(eq + 1)};
}

EncodedName encodeName(const std::string& label, const std::string& text, std::size_t maxBytes) {
    // A name slot ends at its first NUL: the text after one would be lost.
    if (text.find('\0') != std::string::npos) return {{}, label + ": a name cannot hold a NUL character"};
    const EncodeResult encoded = encodeShiftJis(text);
    if (encoded.refused) return {{}, label + ": " + refusalMessage(*encoded.refused)};
    if (encoded.bytes.size() > maxBytes)
        return {{},
                label + " takes at most " + std::to_string(maxBytes) + " bytes of Shift-JIS text, \"" +
                    shownValue(text) + "\" has " + std::to_string(encoded.bytes.size())};
    return {encoded.bytes, {}};
}

CLI::App* addSourceCommand(CLI::App& app, const char* name, const std::string& description, std::string& source) {
    CLI::App* command = app.add_subcommand(name, description);
    command
        ->add_option("SOURCE", source, "a CD image file, its CUE sheet, a CHD image or a directory of exported files")
        ->required();
    command->add_flag("--no-backup", backupsSkipped(),
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
