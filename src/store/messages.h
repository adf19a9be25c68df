#pragma once
// The message service: every message the store, the records and the file formats show to the
// user goes through it. The desktop program shows message boxes, `tarvo` writes to stderr and the
// tests collect the messages.

#include <string>
#include <vector>

namespace tarvo {

// The application name, the caption of most messages (the program file's name).
inline constexpr const char* kAppName = "Tarvo_Riviza_Editor";

enum class MessageKind {
    Warning,      // a failure: exclamation icon, caption kAppName
    Information,  // a success: information icon, caption kAppName
    ReaderError,  // the disc image reader's own box: caption "ERROR", no icon, no owner
    FileError,    // a team or player file that cannot be created or read: caption "error"
};

struct Message {
    std::string text;
    std::string caption;
    MessageKind kind;
    bool operator==(const Message&) const = default;
};

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual void show(const Message& message) = 0;

    void warning(std::string text) { show({std::move(text), kAppName, MessageKind::Warning}); }
    void information(std::string text) { show({std::move(text), kAppName, MessageKind::Information}); }
    void readerError(std::string text) { show({std::move(text), "ERROR", MessageKind::ReaderError}); }
    void fileError(std::string text) { show({std::move(text), "error", MessageKind::FileError}); }
};

// Keeps every message shown, in order (tests, and callers that decide later what to print).
class MessageLog : public MessageService {
public:
    void show(const Message& message) override { messages.push_back(message); }
    std::vector<Message> messages;
};

}  // namespace tarvo
