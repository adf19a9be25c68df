#include "team/ui/team_window.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>

#include "player/ui/player_windows_qt.h"
#include "store/team_table.h"
#include "team/squad_entry.h"
#include "team/tactics_bar.h"
#include "team/team_file.h"
#include "team/ui/formation_window.h"
#include "team/ui/source_actions.h"
#include "text/sjis.h"
#include "text/ui/picker_window.h"
#include "ui/about_dialog.h"
#include "ui/controls_qt.h"
#include "ui/dialog_units_qt.h"
#include "ui/glyph_row_widget.h"
#include "ui/name_field_widget.h"
#include "ui/resources_qt.h"
#include "ui/stored_value_qt.h"

namespace tarvo::gui {

namespace {

constexpr QRgb kBarColour = qRgb(0, 128, 255);

// A number field that only its arrows change, centred, within a range.
QSpinBox* arrowField(int minimum, int maximum, const QRect& geometry, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    spin->setAlignment(Qt::AlignCenter);
    spin->setGeometry(geometry);
    spin->findChild<QLineEdit*>()->setReadOnly(true);
    return spin;
}

// A team value as stored, marked when outside the field's range; the arrows step from it towards
// the range.
void showTeamNumber(QSpinBox* spin, TeamFieldId field, int value) {
    const TeamField& f = teamField(field);
    showNumberAsStored(spin, value, f.min, f.max, QStringLiteral("%1 to %2").arg(f.min).arg(f.max));
}

}  // namespace

TeamWindow::TeamWindow(AppContext& context, QWidget* parent) : QDialog(parent), m_context(context) {
    ensureResources();
    setWindowTitle(QString::fromLatin1(kAppName));
    setWindowIcon(QIcon(QStringLiteral(":/res/icon.png")));
    setFont(dialogFont(8));
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    m_actions = new SourceActions(m_context, this);
    buildControls();
    wheelOnlyWithFocus(this);
    connectControls();

    // Any window may edit the blocks: a change made elsewhere (undo, redo, an import, a revert) is
    // shown here again; the title's mark follows the document.
    connect(&m_context.document, &Document::changed, this, [this](bool byControl) {
        if (!byControl) reloadViews();
    });
    addUndoKeys(this, m_context.document);
    connect(m_actions, &SourceActions::viewsStale, this, &TeamWindow::reloadViews);
    connect(m_actions, &SourceActions::playerFound, this, &TeamWindow::onPlayerFound);

    // The team list starts on the first team.
    {
        const QSignalBlocker blocker(m_teamList);
        for (int row = 0; row < blockmap::kTeamRows; ++row) m_teamList->addItem(latin1(TeamTable[row].label));
        m_teamList->setCurrentIndex(0);
    }
    showTeam();
}

TeamWindow::~TeamWindow() { delete m_picker; }  // no parent owns the picker

void TeamWindow::buildControls() {
    const DialogUnits du(font());
    setFixedSize(du.size(401, 315));

    auto* selectBox = new QGroupBox(QStringLiteral("select team"), this);
    selectBox->setGeometry(du.rect(7, 4, 190, 30));
    m_teamList = new QComboBox(this);
    m_teamList->setObjectName(QStringLiteral("teamList"));
    m_teamList->setGeometry(du.rect(14, 15, 176, 13));
    m_teamList->setMaxVisibleItems(20);
    useJapaneseFont(m_teamList);

    auto* namesBox = new QGroupBox(QStringLiteral("team name"), this);
    namesBox->setGeometry(du.rect(7, 37, 190, 62));
    m_teamName = new NameField(m_context.ui, this);
    m_teamName->setObjectName(QStringLiteral("teamName"));
    m_teamName->setGeometry(du.rect(14, 48, 162, 13));
    m_clubName = new NameField(m_context.ui, this);
    m_clubName->setObjectName(QStringLiteral("clubName"));
    m_clubName->setGeometry(du.rect(14, 64, 162, 13));
    m_shortName = new NameField(m_context.ui, this);
    m_shortName->setObjectName(QStringLiteral("shortName"));
    m_shortName->setGeometry(du.rect(14, 80, 40, 13));
    m_shortName->setMaxBytes(teamField(TeamFieldId::ShortName).max);
    for (NameField* name : {m_teamName, m_clubName, m_shortName}) {
        const QRect field = name->geometry();
        m_context.names.addPickerButton(name, QRect(field.right() + 3, field.top(), field.height(), field.height()),
                                        this);
    }

    m_teamGlyphs = new GlyphRowBox(QStringLiteral("long team name"), this);
    m_teamGlyphs->setObjectName(QStringLiteral("teamNameGlyphs"));
    m_teamGlyphs->setGeometry(du.rect(7, 102, 190, 26));

    for (int k = 0; k < kTacticsCount; ++k) {
        const int y = 136 + 17 * k;
        label(latin1(teamField(tacticsField(k)).name), du.rect(7, y + 2, 42, 8), this);
        m_tactics[k] = arrowField(kTacticsShownMin, kTacticsShownMax, du.rect(50, y, 30, 13), this);
        m_tactics[k]->setObjectName(QStringLiteral("tactics%1").arg(k));
    }

    m_write = new QPushButton(QStringLiteral("Write into CD Image\n or exported files"), this);
    m_write->setObjectName(QStringLiteral("writeButton"));
    m_write->setGeometry(du.rect(207, 6, 92, 26));
    m_write->setDefault(true);
    m_pickerButton = pushButton(QStringLiteral("Input Shift-JIS"), du.rect(305, 6, 89, 12), this);
    m_pickerButton->setObjectName(QStringLiteral("pickerButton"));
    m_universal = pushButton(QStringLiteral("Universal Edit"), du.rect(305, 20, 89, 12), this);
    m_universal->setObjectName(QStringLiteral("universalButton"));
    m_changes = pushButton(QStringLiteral("Changes..."), du.rect(305, 34, 89, 12), this);
    m_changes->setObjectName(QStringLiteral("changesButton"));

    label(QStringLiteral("player"), du.rect(207, 50, 28, 8), this);
    m_squadList = new QComboBox(this);
    m_squadList->setObjectName(QStringLiteral("squadList"));
    m_squadList->setGeometry(du.rect(237, 48, 157, 13));
    m_squadList->setMaxVisibleItems(20);
    useJapaneseFont(m_squadList);
    m_editPlayer = pushButton(QStringLiteral("edit player"), du.rect(237, 64, 60, 14), this);
    m_editPlayer->setObjectName(QStringLiteral("editPlayer"));

    m_playerGlyphs = new GlyphRowBox(QStringLiteral("player name"), this);
    m_playerGlyphs->setObjectName(QStringLiteral("playerNameGlyphs"));
    m_playerGlyphs->setGeometry(du.rect(207, 82, 187, 26));

    label(QStringLiteral("player ID"), du.rect(207, 112, 40, 8), this);
    m_playerId = new QLineEdit(this);
    m_playerId->setObjectName(QStringLiteral("playerId"));
    m_playerId->setGeometry(du.rect(250, 110, 40, 13));
    m_playerId->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), this));
    m_changeId = pushButton(QStringLiteral("change ID"), du.rect(300, 109, 60, 14), this);
    m_changeId->setObjectName(QStringLiteral("changeId"));

    label(QStringLiteral("shirt NO."), du.rect(207, 130, 40, 8), this);
    m_shirt = arrowField(teamField(TeamFieldId::Shirt).min, teamField(TeamFieldId::Shirt).max, du.rect(250, 128, 40, 13), this);
    m_shirt->setObjectName(QStringLiteral("shirt"));
    m_editFormation = pushButton(QStringLiteral("Edit formation"), du.rect(300, 127, 60, 14), this);
    m_editFormation->setObjectName(QStringLiteral("editFormation"));

    QStringList takers;
    for (int i = 1; i <= kSetPieceChoices; ++i) takers << QStringLiteral("Player_%1").arg(i, 2, 10, QLatin1Char('0'));
    for (int k = 0; k < kSetPieceCount; ++k) {
        const int y = 150 + 17 * k;
        label(latin1(teamField(setPieceField(k)).name), du.rect(207, y + 2, 50, 8), this);
        m_setPieces[k] = new QComboBox(this);
        m_setPieces[k]->setObjectName(QStringLiteral("setPiece%1").arg(k));
        m_setPieces[k]->setGeometry(du.rect(260, y, 70, 13));
        m_setPieces[k]->addItems(takers);
    }

    m_saveTeam = pushButton(QStringLiteral("Save team"), du.rect(7, 294, 60, 14), this);
    m_saveTeam->setObjectName(QStringLiteral("saveTeam"));
    m_loadTeam = pushButton(QStringLiteral("Load team"), du.rect(72, 294, 60, 14), this);
    m_loadTeam->setObjectName(QStringLiteral("loadTeam"));
    m_close = pushButton(QStringLiteral("Close"), du.rect(334, 294, 60, 14), this);
    m_close->setObjectName(QStringLiteral("close"));
}

void TeamWindow::connectControls() {
    connect(m_teamList, &QComboBox::currentIndexChanged, this, &TeamWindow::onTeamListChanged);
    connect(m_squadList, &QComboBox::currentIndexChanged, this, &TeamWindow::onSquadListChanged);
    connect(m_teamName, &NameField::nameEdited, this, &TeamWindow::onTeamNameEdited);
    connect(m_clubName, &NameField::nameEdited, this, &TeamWindow::onClubNameEdited);
    connect(m_shortName, &NameField::nameEdited, this, &TeamWindow::onShortNameEdited);
    for (int k = 0; k < kTacticsCount; ++k)
        connect(m_tactics[k], &QSpinBox::valueChanged, this, [this, k](int value) { onTacticsChanged(k, value); });
    connect(m_shirt, &QSpinBox::valueChanged, this, &TeamWindow::onShirtChanged);
    for (int k = 0; k < kSetPieceCount; ++k)
        connect(m_setPieces[k], &QComboBox::activated, this, [this, k](int index) { onSetPieceActivated(k, index); });
    connect(m_changeId, &QPushButton::clicked, this, &TeamWindow::onChangeIdClicked);
    connect(m_editPlayer, &QPushButton::clicked, this, &TeamWindow::onEditPlayerClicked);
    connect(m_editFormation, &QPushButton::clicked, this, &TeamWindow::onEditFormationClicked);
    connect(m_universal, &QPushButton::clicked, this, &TeamWindow::onUniversalEditClicked);
    connect(m_changes, &QPushButton::clicked, m_actions, &SourceActions::openChanges);
    connect(m_pickerButton, &QPushButton::clicked, this, &TeamWindow::onPickerClicked);
    connect(&m_context.names, &NameInput::pickerWanted, this, &TeamWindow::onPickerClicked);
    connect(m_saveTeam, &QPushButton::clicked, this, &TeamWindow::onSaveTeamClicked);
    connect(m_loadTeam, &QPushButton::clicked, this, &TeamWindow::onLoadTeamClicked);
    connect(m_write, &QPushButton::clicked, m_actions, &SourceActions::write);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    auto* about = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(about, &QShortcut::activated, this, [this] { showAboutBox(this); });
}

void TeamWindow::selectTeam(int row) {
    if (row < 0 || row >= blockmap::kTeamRows) return;
    {
        const QSignalBlocker blocker(m_teamList);
        m_teamList->setCurrentIndex(row);
    }
    showTeam();
}

void TeamWindow::showTeam() {
    const GameBlocks blocks = m_context.store.blocks();
    m_row = m_teamList->currentIndex();
    const int row = m_row;

    for (int k = 0; k < kSetPieceCount; ++k) {
        const QSignalBlocker blocker(m_setPieces[k]);
        m_setPieces[k]->setCurrentIndex(readSetPiece(blocks, row, k));
    }

    const bool tactics = hasTactics(row);
    for (int k = 0; k < kTacticsCount; ++k) {
        const QSignalBlocker blocker(m_tactics[k]);
        m_tactics[k]->setEnabled(tactics);
        if (tactics) showTeamNumber(m_tactics[k], tacticsField(k), readTactics(blocks, row, k));
    }
    m_editFormation->setEnabled(tactics);

    m_teamName->setEnabled(!teamEditRefusal(TeamFieldId::TeamName, row));
    m_shortName->setEnabled(!teamEditRefusal(TeamFieldId::ShortName, row));
    m_clubName->setEnabled(!teamEditRefusal(TeamFieldId::ClubName, row));
    m_teamName->setMaxBytes(teamNameMaxBytes(TeamFieldId::TeamName, row));
    const Bytes teamName = readTeamName(blocks, row);
    m_teamName->setNameBytes(teamName);
    m_teamGlyphs->setNameBytes(teamName);
    m_clubName->setMaxBytes(teamNameMaxBytes(TeamFieldId::ClubName, row));
    m_clubName->setNameBytes(readClubName(blocks, row));
    m_shortName->setNameBytes(readShortName(blocks, row));

    const int size = squadSize(row);
    m_squad.assign(static_cast<std::size_t>(size), 0);
    {
        const QSignalBlocker blocker(m_squadList);
        m_squadList->clear();
        for (int slot = 0; slot < size; ++slot) {
            m_squad[static_cast<std::size_t>(slot)] = readSquadId(blocks, row, slot);
            const Bytes entry = squadEntryText(blocks, row, slot);
            m_squadList->addItem(QString::fromStdString(decodeShiftJis(entry)));
        }
        m_squadList->setCurrentIndex(0);
    }
    showPlayer();
    update();
}

void TeamWindow::showPlayer() {
    const GameBlocks blocks = m_context.store.blocks();
    m_slot = std::max(0, m_squadList->currentIndex());
    const std::uint16_t id = m_squad.at(static_cast<std::size_t>(m_slot));
    m_playerId->setText(QString::number(id));
    const bool filled = id != 0;
    if (filled) {
        const QSignalBlocker blocker(m_shirt);
        showTeamNumber(m_shirt, TeamFieldId::Shirt, readShirt(blocks, m_row, m_slot));
    }
    m_editPlayer->setEnabled(filled);
    m_shirt->setEnabled(filled);
    m_playerGlyphs->setNameBytes(squadEntryText(blocks, m_row, m_slot));
}

void TeamWindow::rebuildSquadEntry(int slot) {
    const Bytes entry = squadEntryText(m_context.store.blocks(), m_row, slot);
    const QSignalBlocker blocker(m_squadList);
    m_squadList->removeItem(slot);
    m_squadList->insertItem(slot, QString::fromStdString(decodeShiftJis(entry)));
    m_squadList->setCurrentIndex(slot);
}

void TeamWindow::onTeamListChanged(int) { showTeam(); }

void TeamWindow::onSquadListChanged(int) { showPlayer(); }

void TeamWindow::onTeamNameEdited(const Bytes& bytes) {
    if (!teamEditRefusal(TeamFieldId::TeamName, m_row)) storeTeamName(m_context.store.blocks(), m_row, bytes);
    m_teamGlyphs->setNameBytes(bytes);
    m_context.document.edited();
}

void TeamWindow::onClubNameEdited(const Bytes& bytes) {
    if (!teamEditRefusal(TeamFieldId::ClubName, m_row)) storeClubName(m_context.store.blocks(), m_row, bytes);
    m_context.document.edited();
}

void TeamWindow::onShortNameEdited(const Bytes& bytes) {
    if (!teamEditRefusal(TeamFieldId::ShortName, m_row)) storeShortName(m_context.store.blocks(), m_row, bytes);
    m_context.document.edited();
}

void TeamWindow::onTacticsChanged(int k, int value) {
    if (!hasTactics(m_row)) return;
    storeTactics(m_context.store.blocks(), m_row, k, value);
    showTeamNumber(m_tactics[k], tacticsField(k), value);
    update(toQRect(tacticsBarOf(k).area));
    m_context.document.edited();
}

void TeamWindow::onShirtChanged(int value) {
    if (m_squad.at(static_cast<std::size_t>(m_slot)) == 0) return;
    storeShirt(m_context.store.blocks(), m_row, m_slot, value);
    showTeamNumber(m_shirt, TeamFieldId::Shirt, value);
    m_context.document.edited();
}

void TeamWindow::onSetPieceActivated(int k, int index) {
    storeSetPiece(m_context.store.blocks(), m_row, k, index);
    m_context.document.edited();
}

void TeamWindow::onChangeIdClicked() {
    bool ok = false;
    std::int64_t id = m_playerId->text().toLongLong(&ok);
    if (!ok) id = 0;
    if (const auto refusal = squadIdRefusal(m_row, m_slot, id)) {
        m_context.ui.warning(std::string(*refusal));
        m_playerId->setFocus();
        return;
    }
    // One step of its own; the document's signal shows the new entry.
    m_context.document.act([&] { setSquadId(m_context.store.blocks(), m_row, m_slot, id); });
}

void TeamWindow::onPlayerFound(std::uint32_t id, int row, int slot) {
    if (row < 0) {  // no team holds the player: only the editor opens
        openPlayerEditor(m_context, this, id);
        return;
    }
    selectTeam(row);
    m_squadList->setCurrentIndex(slot);
    onEditPlayerClicked();
}

void TeamWindow::reloadViews() {
    const int slot = m_slot;
    selectTeam(m_row);
    if (slot < m_squadList->count()) m_squadList->setCurrentIndex(slot);
    m_actions->refresh();
}

void TeamWindow::onEditPlayerClicked() {
    const std::uint16_t id = m_squad.at(static_cast<std::size_t>(m_slot));
    if (id == 0) return;
    openPlayerEditor(m_context, this, id);
    rebuildSquadEntry(m_slot);
    showPlayer();
}

void TeamWindow::onEditFormationClicked() {
    if (!hasTactics(m_row)) return;
    FormationWindow formation(m_context, m_row, this);
    formation.setWindowModality(Qt::WindowModal);
    formation.exec();
}

void TeamWindow::onUniversalEditClicked() { openUniversalEdit(m_context, this); }

void TeamWindow::onPickerClicked() {
    if (m_picker && m_picker->isVisible()) {
        m_picker->raise();
        m_picker->activateWindow();
        return;
    }
    // A window of its own, without a parent, so that no window modal to this one blocks it.
    m_picker = new PickerWindow(m_context.ui, m_pickerState);
    m_picker->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_picker, &PickerWindow::characterPicked, &m_context.names, &NameInput::insert);
    m_picker->show();
}

void TeamWindow::onSaveTeamClicked() {
    exportTeam(m_context.store.blocks(), m_row, m_context.programDirectory, m_context.ui);
}

void TeamWindow::onLoadTeamClicked() {
    const QString file = m_context.ui.openFile(QStringLiteral("open team data file"), datFileFilters(),
                                               toQString(m_context.programDirectory));
    if (file.isEmpty()) return;
    FileImport loaded;
    m_context.document.act([&] { loaded = importTeam(m_context.store.blocks(), toPath(file), m_context.ui); },
                           "import team file " + utf8Path(toPath(file).filename()));
    if (loaded.stored()) selectTeam(*loaded.row);
}

void TeamWindow::reject() {
    if (!m_actions->mayClose()) return;
    if (m_picker) m_picker->close();
    QDialog::reject();
}

TacticsBar TeamWindow::tacticsBarOf(int k) const {
    const QRect field = m_tactics[k]->geometry();
    return tacticsBar(field.left(), field.top(), field.width(), field.height(), m_tactics[k]->value());
}

void TeamWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!hasTactics(m_row)) return;
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(kBarColour));
    for (int k = 0; k < kTacticsCount; ++k) {
        const QRect bar = toQRect(tacticsBarOf(k).bar);
        // A pen outline of width w covers w + 1 pixels: draw the rectangle one pixel smaller.
        painter.drawRect(bar.adjusted(0, 0, -1, -1));
    }
}

void TeamWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        emit firstShown();
    }
}

void TeamWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QWidget* focused = focusWidget();
    if (!enter || !focused) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (auto* button = qobject_cast<QPushButton*>(focused)) {
        button->click();
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(focused)) {
        // The open list takes the Enter as its own: it closes and picks the highlighted entry.
        if (combo->view()->isVisible()) QCoreApplication::sendEvent(combo->view(), event);
        event->accept();
        return;
    }
    if (qobject_cast<QAbstractItemView*>(focused)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TeamWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    // The step of a control still in use ends when the menu takes the focus; its name is known then.
    m_context.document.commit();
    const auto addStep = [this, &menu](QString text, const QString& none, void (Document::*slot)(), QKeySequence key) {
        // A name's text may hold "&", which a menu would take for a mnemonic.
        QAction* item = menu.addAction(text.isEmpty() ? none : text.replace(QLatin1Char('&'), QStringLiteral("&&")),
                                       &m_context.document, slot);
        item->setShortcut(key);
        item->setEnabled(!text.isEmpty());
    };
    addStep(m_context.document.undoText(), QStringLiteral("Undo"), &Document::undo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    addStep(m_context.document.redoText(), QStringLiteral("Redo"), &Document::redo,
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    menu.addSeparator();
    m_actions->addMenuEntries(menu);
    menu.exec(event->globalPos());
}

}  // namespace tarvo::gui
