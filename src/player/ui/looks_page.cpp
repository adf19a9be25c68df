#include "player/ui/looks_page.h"

#include <array>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "player/ui/page_parts_qt.h"
#include "player/voice_clip.h"
#include "ui/glyph_row_widget.h"
#include "ui/name_field_widget.h"
#include "ui/stored_value_qt.h"
#include "ui/voice_player_qt.h"

namespace tarvo::gui {

namespace {

constexpr int kLeftLabelWidth = 42, kRightLabelWidth = 47, kLongLabelWidth = 82;

// Where a field's label and control go; a number field's width takes in its spin buttons.
struct Place {
    PlayerFieldId field;
    int labelX, labelY, labelWidth;
    int x, y, width;
};

constexpr std::array kListPlaces{
    Place{PlayerFieldId::Position1, 25, 148, kLeftLabelWidth, 76, 147, 89},
    Place{PlayerFieldId::Position2, 25, 170, kLeftLabelWidth, 76, 169, 89},
    Place{PlayerFieldId::Position3, 25, 193, kLeftLabelWidth, 76, 191, 89},
    Place{PlayerFieldId::Nation, 25, 214, kLeftLabelWidth, 76, 212, 89},
    Place{PlayerFieldId::Build, 25, 279, kLeftLabelWidth, 76, 277, 89},
    Place{PlayerFieldId::Skin, 185, 40, kRightLabelWidth, 236, 39, 35},
    Place{PlayerFieldId::HeadV, 185, 61, kRightLabelWidth, 236, 61, 35},
    Place{PlayerFieldId::HeadH, 287, 61, kRightLabelWidth, 338, 61, 35},
    Place{PlayerFieldId::EyeGlobe, 185, 82, kRightLabelWidth, 236, 82, 35},
    Place{PlayerFieldId::EyeIris, 287, 82, kRightLabelWidth, 338, 82, 55},
    Place{PlayerFieldId::HairType, 185, 106, kRightLabelWidth, 236, 105, 35},
    Place{PlayerFieldId::HairColor, 287, 106, kRightLabelWidth, 338, 105, 35},
    Place{PlayerFieldId::Accessory, 185, 127, kRightLabelWidth, 236, 126, 35},
    Place{PlayerFieldId::BeardType, 185, 148, kRightLabelWidth, 236, 147, 35},
    Place{PlayerFieldId::BeardColor, 287, 148, kRightLabelWidth, 338, 147, 55},
    Place{PlayerFieldId::Sleeves, 185, 170, kRightLabelWidth, 236, 169, 53},
    Place{PlayerFieldId::ShoesModel, 185, 191, kRightLabelWidth, 236, 190, 35},
    Place{PlayerFieldId::ShoesColor, 287, 191, kRightLabelWidth, 338, 190, 55},
    Place{PlayerFieldId::ShoesDesignColor, 185, 211, kLongLabelWidth, 272, 210, 37},
    Place{PlayerFieldId::ShoesTongueColor, 185, 233, kLongLabelWidth, 272, 232, 37},
    Place{PlayerFieldId::Foot, 185, 255, kRightLabelWidth, 236, 254, 38},
    Place{PlayerFieldId::FreeKick, 185, 278, kRightLabelWidth, 236, 277, 35},
};

constexpr std::array kNumberPlaces{
    Place{PlayerFieldId::Height, 25, 234, kLeftLabelWidth, 76, 234, 59},
    Place{PlayerFieldId::Weight, 25, 256, kLeftLabelWidth, 76, 256, 59},
    Place{PlayerFieldId::Age, 236, 20, kRightLabelWidth, 287, 20, 59},
    Place{PlayerFieldId::Face, 287, 39, kRightLabelWidth, 338, 39, 40},
};

// "Save WAV..." sits in the free place beside "accessory", above the beardcolor list.
constexpr int kSaveWavX = 338, kSaveWavY = 126, kSaveWavWidth = 55;

}  // namespace

LooksPage::LooksPage(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context) {
    setFont(dialogFont());
    const DialogUnits units(font());
    m_voice = new VoicePlayer(this);
    createNameControls(units);
    createCallControls(units);
    createLists(units);
    createNumbers(units);
    setFocusProxy(m_fullName);
}

void LooksPage::createNameControls(const DialogUnits& units) {
    m_glyphRow = new GlyphRowBox(QStringLiteral("player full name"), this);
    m_glyphRow->setAlignment(Qt::AlignHCenter);
    m_glyphRow->setGeometry(units.rect(25, 3, 184, 29));

    addLabel(this, units, QStringLiteral("full name"), 25, 39, kLeftLabelWidth);
    m_fullName = new NameField(m_context.ui, this);
    m_fullName->setObjectName(QStringLiteral("full name"));
    m_fullName->setMaxBytes(static_cast<int>(maxPlayerNameBytes(PlayerName::Full)));
    m_fullName->setGeometry(units.rect(76, 38, 90, kControlHeight));
    connect(m_fullName, &NameField::nameEdited, this, &LooksPage::onFullNameEdited);

    addLabel(this, units, QStringLiteral("back name"), 25, 60, kLeftLabelWidth);
    m_backName = new NameField(m_context.ui, this);
    m_backName->setObjectName(QStringLiteral("back name"));
    m_backName->setMaxBytes(static_cast<int>(maxPlayerNameBytes(PlayerName::Back)));
    m_backName->setUpperCase(true);
    m_backName->setGeometry(units.rect(76, 59, 90, kControlHeight));
    connect(m_backName, &NameField::nameEdited, this, &LooksPage::onBackNameEdited);

    // The picker buttons sit right of the name fields, before the right-hand column.
    m_context.names.addPickerButton(m_fullName, units.rect(168, 38, kControlHeight, kControlHeight), this);
    m_context.names.addPickerButton(m_backName, units.rect(168, 59, kControlHeight, kControlHeight), this);
}

void LooksPage::createCallControls(const DialogUnits& units) {
    addLabel(this, units, QStringLiteral("call name"), 25, 87, kLeftLabelWidth);
    m_callNumber = new QSpinBox(this);
    m_callNumber->setObjectName(QStringLiteral("call name"));
    m_callNumber->setRange(static_cast<int>(kCallNumberMin), static_cast<int>(kCallNumberMax));
    m_callNumber->setGeometry(units.rect(76, 87, 48, kControlHeight));
    connect(m_callNumber, &QSpinBox::valueChanged, this, &LooksPage::onCallNumberChanged);

    m_none = new QCheckBox(QStringLiteral("None"), this);
    m_none->setObjectName(QStringLiteral("None"));
    m_none->setGeometry(units.rect(128, 89, 32, 10));
    connect(m_none, &QCheckBox::clicked, this, &LooksPage::onNoneClicked);

    m_entryName = new QLineEdit(this);
    m_entryName->setObjectName(QStringLiteral("voice entry"));
    m_entryName->setReadOnly(true);
    m_entryName->setGeometry(units.rect(25, 106, 138, kControlHeight));

    m_listen1 = new QPushButton(QStringLiteral("Listen1"), this);
    m_listen1->setGeometry(units.rect(40, 123, 40, kControlHeight));
    connect(m_listen1, &QPushButton::clicked, this, [this] { onListenClicked(1); });
    m_listen2 = new QPushButton(QStringLiteral("Listen2"), this);
    m_listen2->setGeometry(units.rect(107, 123, 40, kControlHeight));
    connect(m_listen2, &QPushButton::clicked, this, [this] { onListenClicked(2); });
    m_saveWav = new QPushButton(QStringLiteral("Save WAV..."), this);
    m_saveWav->setGeometry(units.rect(kSaveWavX, kSaveWavY, kSaveWavWidth, kControlHeight));
    connect(m_saveWav, &QPushButton::clicked, this, &LooksPage::onSaveWavClicked);
    for (auto* button : {m_listen1, m_listen2, m_saveWav}) {
        button->setObjectName(button->text());
        button->setAutoDefault(true);
        button->setEnabled(cdImageMode());  // no voice archive in exported-files mode
    }
}

void LooksPage::createLists(const DialogUnits& units) {
    for (const auto& place : kListPlaces) {
        addLabel(this, units, fieldName(place.field), place.labelX, place.labelY, place.labelWidth);
        auto* list = addList(this, units, place.field, place.x, place.y, place.width);
        m_lists[place.field] = list;
        const PlayerFieldId field = place.field;
        connect(list, &QComboBox::activated, this, [this, field](int entry) { onListActivated(field, entry); });
    }
}

void LooksPage::createNumbers(const DialogUnits& units) {
    for (const auto& place : kNumberPlaces) {
        addLabel(this, units, fieldName(place.field), place.labelX, place.labelY, place.labelWidth);
        auto* spin = new QSpinBox(this);
        spin->setObjectName(fieldName(place.field));
        const auto range = numberRange(place.field, 0);
        spin->setRange(static_cast<int>(range.min), static_cast<int>(range.max));
        spin->setGeometry(units.rect(place.x, place.y, place.width, kControlHeight));
        m_numbers[place.field] = spin;
        const PlayerFieldId field = place.field;
        connect(spin, &QSpinBox::valueChanged, this, [this, field](int value) { onNumberChanged(field, value); });
    }
}

bool LooksPage::cdImageMode() const { return m_context.store.sourceMode() == SourceMode::CdImage; }

void LooksPage::showPlayer(std::uint32_t id) {
    m_shownId = id;
    const GameBlocks blocks = m_context.store.blocks();
    const Player& player = m_context.player;

    const Bytes fullName = readPlayerName(blocks, PlayerName::Full, id);
    m_fullName->setNameBytes(fullName);
    m_glyphRow->setNameBytes(fullName);
    m_backName->setNameBytes(readPlayerName(blocks, PlayerName::Back, id));
    showCallNumber(readCallNumber(blocks, id));

    for (const auto& [field, list] : m_lists) {
        if (field == PlayerFieldId::HairType || field == PlayerFieldId::HairColor ||
            field == PlayerFieldId::BeardType || field == PlayerFieldId::BeardColor)
            continue;
        showListEntry(list, field, entryOfStored(field, player), player);
    }
    showHair(hairLists(player));
    showBeard(beardLists(player));

    for (const auto& [field, spin] : m_numbers) setNumber(field);
}

void LooksPage::showCallNumber(std::uint16_t number) {
    const QSignalBlocker blocker(m_callNumber);
    const auto kind = callNumberKind(number);
    m_none->setChecked(kind == CallNumberKind::None);
    setCallControlsEnabled(kind != CallNumberKind::None);
    if (kind == CallNumberKind::None) {
        setCallNumber(kCallNumberMin);  // the offered range, unmarked, then shown empty
        m_callNumber->clear();
        m_entryName->clear();
        return;
    }
    setCallNumber(number);
    showEntryName();
}

void LooksPage::setCallNumber(std::uint16_t number) {
    showNumberAsStored(m_callNumber, number, kCallNumberMin, kCallNumberMax,
                       QString::fromStdString(callNumberRangeText()));
}

void LooksPage::showEntryName() {
    if (!cdImageMode() || m_none->isChecked()) {
        m_entryName->clear();
        return;
    }
    const auto index = static_cast<std::uint32_t>(m_callNumber->value());
    m_entryName->setText(QString::fromStdString(m_context.store.archive().GetName(index)));
}

void LooksPage::setCallControlsEnabled(bool enabled) {
    m_callNumber->setEnabled(enabled);
    m_entryName->setEnabled(enabled);
    for (auto* button : {m_listen1, m_listen2, m_saveWav}) button->setEnabled(enabled && cdImageMode());
}

void LooksPage::setNumber(PlayerFieldId field) { showNumber(m_numbers.at(field), field, m_context.player); }

void LooksPage::showLinkedLists(PlayerFieldId type, PlayerFieldId color, const LinkedLists& lists) {
    const Player& player = m_context.player;
    showListEntry(m_lists.at(type), type, lists.typeEntry, player);
    m_lists.at(color)->setEnabled(lists.colorEnabled);
    showListEntry(m_lists.at(color), color, lists.colorEntry, player);
}

void LooksPage::showHair(const LinkedLists& lists) {
    showLinkedLists(PlayerFieldId::HairType, PlayerFieldId::HairColor, lists);
}

void LooksPage::showBeard(const LinkedLists& lists) {
    showLinkedLists(PlayerFieldId::BeardType, PlayerFieldId::BeardColor, lists);
}

void LooksPage::onFullNameEdited(const Bytes& bytes) {
    if (writePlayerName(m_context.store.blocks(), PlayerName::Full, m_shownId, bytes)) m_glyphRow->setNameBytes(bytes);
    m_context.document.edited();
}

void LooksPage::onBackNameEdited(const Bytes& bytes) {
    writePlayerName(m_context.store.blocks(), PlayerName::Back, m_shownId, bytes);
    m_context.document.edited();
}

void LooksPage::onCallNumberChanged(int value) {
    if (enterCallNumber(m_context.store.blocks(), m_shownId, value)) setCallNumber(static_cast<std::uint16_t>(value));
    showEntryName();
    m_context.document.edited();
}

void LooksPage::onNoneClicked(bool checked) {
    const GameBlocks blocks = m_context.store.blocks();
    if (checked) {
        writeCallNumber(blocks, m_shownId, static_cast<std::uint16_t>(kNoCallNumber));
        showCallNumber(static_cast<std::uint16_t>(kNoCallNumber));
    } else {
        enterCallNumber(blocks, m_shownId, kCallNumberMin);
        showCallNumber(static_cast<std::uint16_t>(kCallNumberMin));
    }
    m_context.document.edited();
}

void LooksPage::onListenClicked(int which) {
    const auto number = static_cast<std::uint16_t>(m_callNumber->value());
    if (const auto clip = readVoiceClip(m_context.store.archive(), which, number)) m_voice->play(*clip);
}

void LooksPage::onSaveWavClicked() {
    const auto number = static_cast<std::uint16_t>(m_callNumber->value());
    const auto suggested = m_context.programDirectory / ("voice" + std::to_string(number) + ".wav");
    const QString file = m_context.ui.saveFile(QStringLiteral("save voice as WAV file"),
                                               {QStringLiteral("wav Files (*.wav)"), QStringLiteral("All Files (*)")},
                                               toQString(suggested));
    if (file.isEmpty()) return;
    saveVoiceClip(m_context.store.archive(), number, toPath(file), m_context.ui);
}

void LooksPage::onListActivated(PlayerFieldId field, int entry) {
    Player& player = m_context.player;
    switch (field) {
    case PlayerFieldId::HairType: showHair(chooseHairType(player, entry)); break;
    case PlayerFieldId::BeardType: showBeard(chooseBeardType(player, entry)); break;
    case PlayerFieldId::Skin:
        chooseEntry(player, field, entry);
        dropUnlistedEntry(m_lists.at(field), entry);
        setNumber(PlayerFieldId::Face);  // the face's range follows the skin
        break;
    default:
        chooseEntry(player, field, entry);
        dropUnlistedEntry(m_lists.at(field), entry);
        break;
    }
    m_context.document.edited();
}

void LooksPage::onNumberChanged(PlayerFieldId field, int value) {
    if (enterNumber(m_context.player, field, value)) setNumber(field);
    m_context.document.edited();
}

}  // namespace tarvo::gui
