#include "ui/name_field_widget.h"

#include <QKeyEvent>
#include <QTimer>
#include <QValidator>

#include "text/sjis.h"
#include "ui/dialog_units_qt.h"
#include "ui/document_qt.h"

namespace tarvo::gui {

namespace {

// Accepts a text only when it encodes to Shift-JIS within the byte limit; turns it to upper case
// first when asked. A character without a code that the user has just typed is refused (and
// reported once the edit has been undone); one that the shown name already held (bytes that are no
// Shift-JIS) lets the user edit on, but nothing is stored until it is gone.
class NameValidator : public QValidator {
public:
    NameValidator(const int& maxBytes, const bool& upperCase, std::function<bool(char32_t)> alreadyShown,
                  std::function<void(char32_t)> refused, QObject* parent)
        : QValidator(parent),
          m_maxBytes(maxBytes),
          m_upperCase(upperCase),
          m_alreadyShown(std::move(alreadyShown)),
          m_refused(std::move(refused)) {}

    State validate(QString& input, int&) const override {
        if (m_upperCase) input = input.toUpper();
        const EncodeResult encoded = encodeShiftJis(input.toStdString());
        if (encoded.refused) {
            if (m_alreadyShown(*encoded.refused)) return Intermediate;
            m_refused(*encoded.refused);
            return Invalid;
        }
        return static_cast<int>(encoded.bytes.size()) <= m_maxBytes ? Acceptable : Invalid;
    }

private:
    const int& m_maxBytes;
    const bool& m_upperCase;
    std::function<bool(char32_t)> m_alreadyShown;
    std::function<void(char32_t)> m_refused;
};

}  // namespace

NameField::NameField(MessageService& messages, QWidget* parent) : QLineEdit(parent), m_messages(messages) {
    useJapaneseFont(this);
    const auto alreadyShown = [this](char32_t c) {
        return m_lastAccepted.toStdU32String().find(c) != std::u32string::npos;
    };
    auto* validator = new NameValidator(
        m_maxBytes, m_upperCase, alreadyShown,
        [this](char32_t c) {
            // Told after the key press is over, so that a message box never opens inside an edit.
            QTimer::singleShot(0, this, [this, c] { m_messages.warning(refusalMessage(c)); });
        },
        this);
    setValidator(validator);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        const EncodeResult encoded = encodeShiftJis(text.toStdString());
        if (encoded.refused) return;
        m_lastAccepted = text;
        emit nameEdited(encoded.bytes);
    });
}

bool NameField::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((isUndoKey(key) && !isUndoAvailable()) || (isRedoKey(key) && !isRedoAvailable())) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void NameField::setMaxBytes(int maxBytes) { m_maxBytes = maxBytes < 0 ? 0 : maxBytes; }

void NameField::setUpperCase(bool upper) { m_upperCase = upper; }

void NameField::setNameBytes(ByteSpan bytes) {
    const QString text = QString::fromStdString(decodeShiftJis(bytes));
    m_lastAccepted = text;  // before setText, which consults the validator too
    const bool blocked = blockSignals(true);
    setText(text);
    blockSignals(blocked);
}

}  // namespace tarvo::gui
