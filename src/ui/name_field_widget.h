#pragma once
// A text field for a name slot. It shows the slot's Shift-JIS bytes decoded to text and hands back
// what the user types encoded to Shift-JIS. Its limit counts encoded bytes; a character that
// cannot be encoded is not accepted, and the user is told why (through the message service).

#include <QLineEdit>

#include "store/bytes.h"
#include "store/messages.h"

namespace tarvo::gui {

class NameField : public QLineEdit {
    Q_OBJECT
public:
    NameField(MessageService& messages, QWidget* parent = nullptr);
    void setMaxBytes(int maxBytes);  // slot length - 1
    void setUpperCase(bool upper);   // the back name field turns what is typed to upper case
    // Shows the bytes as text; emits nothing (showing writes nothing).
    void setNameBytes(ByteSpan bytes);

protected:
    // Ctrl+Z undoes the typing first, as in any text field; once there is none left to undo (or
    // redo), the key goes on to the window, which undoes the data's last step.
    bool event(QEvent* event) override;

signals:
    // Only on a user's edit: the new text's bytes, within the limit and encodable.
    void nameEdited(const tarvo::Bytes& bytes);

private:
    MessageService& m_messages;
    int m_maxBytes = 0;
    bool m_upperCase = false;
    QString m_lastAccepted;
};

}  // namespace tarvo::gui
