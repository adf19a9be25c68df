#pragma once
// The "Looks" page: names (with the full name's glyph row), the voice call with its two Listen
// buttons, positions, nation, measures and appearance. Showing a player writes nothing; each
// user's change is stored at once, names and call number in both copies of their tables.

#include <cstdint>
#include <map>

#include <QWidget>

#include "player/page_rules.h"
#include "ui/app_context_qt.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tarvo::gui {

class GlyphRowBox;
class NameField;
class VoicePlayer;
class DialogUnits;

class LooksPage : public QWidget {
    Q_OBJECT
public:
    LooksPage(AppContext& context, QWidget* parent = nullptr);
    void showPlayer(std::uint32_t id);

private:
    void createNameControls(const DialogUnits& units);
    void createCallControls(const DialogUnits& units);
    void createLists(const DialogUnits& units);
    void createNumbers(const DialogUnits& units);

    void showCallNumber(std::uint16_t number);
    void setCallNumber(std::uint16_t number);
    void showEntryName();
    void setCallControlsEnabled(bool enabled);
    void setNumber(PlayerFieldId field);
    void showLinkedLists(PlayerFieldId type, PlayerFieldId color, const LinkedLists& lists);
    void showHair(const LinkedLists& lists);
    void showBeard(const LinkedLists& lists);
    bool cdImageMode() const;

    void onFullNameEdited(const Bytes& bytes);
    void onBackNameEdited(const Bytes& bytes);
    void onCallNumberChanged(int value);
    void onNoneClicked(bool checked);
    void onListenClicked(int which);
    void onSaveWavClicked();
    void onListActivated(PlayerFieldId field, int entry);
    void onNumberChanged(PlayerFieldId field, int value);

    AppContext& m_context;
    std::uint32_t m_shownId = 0;
    GlyphRowBox* m_glyphRow = nullptr;
    NameField* m_fullName = nullptr;
    NameField* m_backName = nullptr;
    QSpinBox* m_callNumber = nullptr;
    QCheckBox* m_none = nullptr;
    QLineEdit* m_entryName = nullptr;
    QPushButton* m_listen1 = nullptr;
    QPushButton* m_listen2 = nullptr;
    QPushButton* m_saveWav = nullptr;
    std::map<PlayerFieldId, QComboBox*> m_lists;
    std::map<PlayerFieldId, QSpinBox*> m_numbers;
    VoicePlayer* m_voice = nullptr;
};

}  // namespace tarvo::gui
