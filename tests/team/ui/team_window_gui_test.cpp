// The team editor window on the sample disc: what each kind of team shows and enables, what each
// control stores (and nothing else), the write and team file buttons, the context menu
// (spreadsheets, backups), the formation editor, the changes window, the Shift-JIS picker, and
// Japanese names drawn in the fonts of every control that shows names.

#include "player/universal_edit.h"
#include "records/player.h"
#include "records/team.h"
#include "store/block_map.h"
#include "support/loaded_sample_qt.h"
#include "team/formation_layout.h"
#include "team/squad_entry.h"
#include "team/team_file.h"
#include "team/ui/changes_window.h"
#include "team/ui/find_player_window.h"
#include "team/ui/formation_window.h"
#include "team/ui/team_window.h"
#include "text/sjis.h"
#include "text/ui/picker_window.h"
#include "ui/glyph_row_widget.h"
#include "ui/name_field_widget.h"

using namespace tarvo;
using tarvo::gui::FormationWindow;
using tarvo::gui::PickerWindow;
using tarvo::gui::TeamWindow;
using tarvo::test::child;
using tarvo::test::click;

namespace {

static QString nameText(const Bytes& bytes) { return QString::fromStdString(decodeShiftJis(bytes)); }

// How wide each tactics bar is drawn, outline included, on its field's middle row: from the
// field's right edge to the middle of the window, where the left column ends.
static std::vector<int> barWidths(QWidget& window) {
    const QImage image = window.grab().toImage();
    std::vector<int> widths;
    for (int k = 0; k < kTacticsCount; ++k) {
        const QRect field = child<QSpinBox>(&window, QStringLiteral("tactics%1").arg(k))->geometry();
        int first = -1, last = -1;
        for (int x = field.right() + 1; x < image.width() / 2; ++x) {
            const QRgb pixel = image.pixel(x, field.center().y());
            if (pixel != qRgb(0, 0, 0) && pixel != qRgb(0, 128, 255)) continue;  // outline, fill
            if (first < 0) first = x;
            last = x;
        }
        widths.push_back(first < 0 ? 0 : last - first + 1);
    }
    return widths;
}

// The sample loaded, and the team window shown on it.
struct Shown : test::LoadedSample {
    explicit Shown(SourceMode mode = SourceMode::ExportedFiles) : LoadedSample(mode) { window.show(); }
    TeamWindow window{context};
};

// Opens the window's context menu and picks an item with the keyboard, as a user does.
void useMenu(QWidget& window, const QString& item) {
    bool found = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* action : menu->actions())
            if (action->text().remove(QLatin1Char('&')) == item) {
                menu->setActiveAction(action);
                found = true;
            }
        QTest::keyClick(menu, found ? Qt::Key_Return : Qt::Key_Escape);
    });
    const QPoint at(10, 10);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, window.mapToGlobal(at));
    QApplication::sendEvent(&window, &event);
    if (!found) qFatal("no menu item %s", qPrintable(item));
}

constexpr int kRow = 12;

void selectPosition(QWidget& window, int k) {
    test::child<QRadioButton>(&window, QStringLiteral("position%1").arg(k))->click();
}

// Where the selected position's marker is drawn: the middle of its red pixels.
QPoint selectedMarker(QWidget& window) { return test::drawnArea(&window, qRgb(193, 0, 0)).center(); }

QPoint markerOf(const FormationRecord& record, int k) {
    const PixelPoint c = formation::markerCentre(formation::positionX(record, k), formation::positionY(record, k));
    return {c.x, c.y};
}

QString position(const QString& role, QPoint marker) {
    return QStringLiteral("%1 at %2,%3").arg(role).arg(marker.x()).arg(marker.y());
}

// What the window shows of each position, selected in turn: its role and where its marker is.
QStringList shownPositions(QWidget& window) {
    QStringList shown;
    for (int k = 0; k < kFormationPositions; ++k) {
        selectPosition(window, k);
        const QString role = test::child<QLabel>(&window, QStringLiteral("role%1").arg(k))->text();
        shown << position(role, selectedMarker(window));
    }
    return shown;
}
QStringList positionsOf(const FormationRecord& record) {
    QStringList shown;
    for (int k = 0; k < kFormationPositions; ++k)
        shown << position(QString::fromStdString(std::string(roleLabel(record[k]))), markerOf(record, k));
    return shown;
}

// A formation whose ten markers lie well apart; position 0 at the right and top limits, position 1
// at the left limit and stored above the top one.
FormationRecord spreadFormation() {
    FormationRecord record{};
    const std::uint8_t roles[10] = {4, 3, 2, 8, 7, 99, 13, 18, 30, 34};
    for (int k = 0; k < 10; ++k) {
        record[k] = roles[k];
        record[10 + k] = static_cast<std::uint8_t>(5 + 4 * k);
        record[20 + k] = static_cast<std::uint8_t>(k % 2 ? 30 : 70);
    }
    record[10] = 47, record[20] = 6, record[11] = 2, record[21] = 3;
    return record;
}

// The sample with known values written (so that the list's old values are known), then edited.
struct Edited : test::LoadedSample {
    Edited() {
        const GameBlocks b = blocks();
        for (std::uint32_t id = 1; id <= 2197; ++id) {
            player.load(b, id);
            player.write(PlayerFieldId::Stamina, 50);
        }
        player.load(b, 123);
        player.write(PlayerFieldId::Speed, 72);
        writePlayerName(b, PlayerName::Full, 7, Bytes{'A', 'L', 'P', 'H', 'A'});
        setSquadId(b, 43, 3, 512);
        FormationRecord formation = readFormation(b, 9);
        formation[12] = 30;
        storeFormation(b, 9, formation);
        store.setBackups(false);
        if (!store.WriteBack()) qFatal("the sample could not be written");

        player.load(b, 123);
        player.write(PlayerFieldId::Speed, 80);
        writePlayerName(b, PlayerName::Full, 7, Bytes{'B', 'E', 'T', 'A'});
        setSquadId(b, 43, 3, 1040);
        formation[12] = 35;
        storeFormation(b, 9, formation);
        universalEdit(b, player, 3, UniversalMethod::Add, 5);  // ability 3: "stamina"
    }
};

QStringList topRows(const QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) rows << list->topLevelItem(i)->text(0);
    return rows;
}

QTreeWidgetItem* rowNamed(QTreeWidget* list, const QString& text) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == text) return list->topLevelItem(i);
    qFatal("no row %s", qPrintable(text));
}

const QString kStamina = QStringLiteral("stamina: 2197 players");
const QString kName = QStringLiteral("player 7 full name: \"ALPHA\" -> \"BETA\"");
const QString kSpeed = QStringLiteral("player 123 speed: 72 -> 80");
const QString kFormation = QStringLiteral("team 10.Netherlands formation x 2: 30 -> 35");
const QString kSquad = QStringLiteral("team 44.Brazil slot 4 id: 512 -> 1040");

static void press(QWidget* window, const QString& text, int times = 1) {
    for (QPushButton* b : window->findChildren<QPushButton*>())
        for (int i = 0; i < times && b->text() == text; ++i) QTest::mouseClick(b, Qt::LeftButton);
}

// The grid: 16 columns of 19 pixels and 20 rows of 20 pixels from (32, 28). The click takes the
// window system's path, which drops it when a modal window blocks the picker.
static void clickCell(QWidget* window, int row, int column) {
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(32 + 19 * column + 9, 28 + 20 * row + 10));
}

// The cell inside the red selection outline as drawn, or none.
static std::optional<picker::Cell> selectedCell(QWidget* window) {
    const QRect red = test::drawnArea(window, qRgb(255, 0, 0));
    if (red.isEmpty()) return std::nullopt;
    return picker::Cell{(red.center().y() - 28) / 20, (red.center().x() - 32) / 19};
}

// Types a page number into the goto field and presses its button.
static void goTo(QWidget* window, const QString& page) {
    test::retype(child<QLineEdit>(window, "gotoPage"), page);
    press(window, "goto (0-22)");
}

// The pickers open as windows of their own.
static QList<PickerWindow*> openPickers() {
    QList<PickerWindow*> found;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* picker = qobject_cast<PickerWindow*>(window); picker && picker->isVisible()) found << picker;
    return found;
}

}  // namespace

class TeamWindowTest : public QObject {
    Q_OBJECT
private slots:
    // National, classic national, club and default rows, each after a row of another kind: what
    // the last team enabled must not linger. Showing writes nothing.
    void showsEachKindOfTeam() {
        Shown sample;
        auto* teams = child<QComboBox>(&sample.window, "teamList");
        const GameBlocks blocks = sample.blocks();
        for (const auto& [row, title] : {std::pair{105, "106.Default ML"},
                                         {0, "1.Ireland"},
                                         {104, "105.Boca Juniors"},
                                         {64, "65.Classic Argentina"},
                                         {105, "106.Default ML"},
                                         {104, "105.Boca Juniors"}}) {
            test::pick(teams, row);
            const bool tactics = row != 105, club = row > 64 && tactics;
            QCOMPARE(teams->currentText(), QString(title));
            QCOMPARE(child<QComboBox>(&sample.window, "squadList")->count(), row > 64 ? 40 : 23);
            const std::vector<int> bars = barWidths(sample.window);
            for (int k = 0; k < kTacticsCount; ++k) {
                auto* field = child<QSpinBox>(&sample.window, QStringLiteral("tactics%1").arg(k));
                QCOMPARE(field->isEnabled(), tactics);
                QCOMPARE(bars[k], tactics ? 5 * field->value() : 0);  // five pixels a unit
                if (tactics) QCOMPARE(field->value(), readTactics(blocks, row, k));
            }
            for (const auto& [name, enabled] : {std::pair{"editFormation", tactics},
                                                {"teamName", tactics},
                                                {"shortName", tactics},
                                                {"clubName", club},
                                                {"editPlayer", true}})
                QVERIFY2(child<QWidget>(&sample.window, name)->isEnabled() == enabled, name);
            QCOMPARE(child<QLineEdit>(&sample.window, "teamName")->text(), nameText(readTeamName(blocks, row)));
        }
        // Browsing every team and player and opening every window without a change writes nothing.
        auto* squad = child<QComboBox>(&sample.window, "squadList");
        for (int row = 0; row < 106; ++row) {
            test::pick(teams, row);
            for (int slot = 0; slot < squad->count(); slot += 7) test::pick(squad, slot);
        }
        sample.window.selectTeam(12);
        test::click(&sample.window, "pickerButton");
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<gui::PickerWindow*>(window)) window->close();
        for (const char* opens : {"editFormation", "editPlayer", "universalButton", "close"}) {
            QTimer::singleShot(0, [] {
                if (auto* modal = QApplication::activeModalWidget()) modal->close();
            });
            test::click(&sample.window, opens);
        }
        QVERIFY(sample.unchanged() && sample.ui.messages.empty());
    }

    // A tactics value shows as a fifth of its byte; the arrows store 5 x value within 4..19 and
    // nothing else; from a value stored outside, towards 4..19.
    void tacticsStoreFiveTimesTheirValue() {
        Shown sample;
        const std::size_t offense = 2140944 + 5 * 7;  // row 7, offense
        sample.blocks().boot[offense] = 72;
        sample.snapshot();
        sample.window.selectTeam(7);
        auto* field = child<QSpinBox>(&sample.window, "tactics0");
        QVERIFY(field->value() == 14 && sample.unchanged());  // 72 is not rewritten as 70 by showing it
        for (const auto& [key, presses, stored] :
             {std::tuple{Qt::Key_Up, 1, 75}, {Qt::Key_Up, 10, 95}, {Qt::Key_Down, 20, 20}}) {
            for (int i = 0; i < presses; ++i) QTest::keyClick(field, key);
            QVERIFY(sample.store.boot()[offense] == stored && barWidths(sample.window)[0] == stored);
            QCOMPARE(sample.changes(), std::vector<std::string>{"boot " + std::to_string(offense)});
        }
        // A byte below the range shows as it is, marked, and Up steps from it.
        sample.blocks().boot[offense] = 5;
        sample.snapshot();
        sample.window.selectTeam(7);
        QVERIFY(field->value() == 1 && !field->toolTip().isEmpty() && sample.unchanged());
        QTest::keyClick(field, Qt::Key_Up);
        QVERIFY(sample.store.boot()[offense] == 10 && field->minimum() == 2);
    }

    // The shirt field stores the shown number - 1 (parameter data: 23 bytes a national row from
    // 211152, 40 a club row from 212864); a set-piece list stores the chosen index 0 to 10 (boot
    // file: 6 bytes a row from 2141472).
    void shirtsAndSetPiecesStoreTheirCodes() {
        Shown sample;
        auto* squad = child<QComboBox>(&sample.window, "squadList");
        auto* shirt = child<QSpinBox>(&sample.window, "shirt");
        for (const auto& [row, slot, at] : {std::tuple{3, 2, 211152 + 23 * 3 + 2}, {70, 5, 212864 + 40 * 5 + 5}}) {
            sample.window.selectTeam(row);
            squad->setCurrentIndex(slot);
            sample.snapshot();
            const int shown = shirt->value() == 10 ? 11 : 10;
            shirt->setValue(shown);
            QCOMPARE(int(sample.store.parameter()[std::size_t(at)]), shown - 1);
            QCOMPARE(sample.changes(), std::vector<std::string>{"parameter " + std::to_string(at)});
        }
        auto* list = child<QComboBox>(&sample.window, "setPiece2");
        sample.snapshot();
        const int entry = list->currentIndex() == 4 ? 6 : 4;
        list->setCurrentIndex(entry);
        emit list->activated(entry);
        const std::size_t at = 2141472 + 6 * 70 + 2;
        QCOMPARE(int(sample.store.boot()[at]), entry);
        QCOMPARE(sample.changes(), std::vector<std::string>{"boot " + std::to_string(at)});
    }

    void changeIdFollowsTheSlotRules() {
        Shown sample;
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        auto* id = child<QLineEdit>(&sample.window, "playerId");
        auto* squad = child<QComboBox>(&sample.window, "squadList");
        const GameBlocks blocks = sample.blocks();
        const struct {
            int row, slot;
            QString typed;
            const char* refusal;
        } cases[] = {{0, 0, "0", "ID should be 1--2197"},  // (the whole rule: the team record tests)
                     {0, 5, "", "ID should be 1--2197"},
                     {0, 5, "99999999999", "ID should be 1--2197"},
                     {0, 5, "2197", nullptr},
                     {70, 23, "0", nullptr}};
        for (const auto& c : cases) {
            sample.window.selectTeam(c.row);
            test::pick(squad, c.slot);
            sample.snapshot();
            sample.ui.messages.clear();
            test::retype(id, c.typed);  // the field takes nine digits at most
            test::click(&sample.window, "changeId");
            QVERIFY2(sample.ui.messages.size() == (c.refusal ? 1u : 0u), qPrintable(c.typed));
            if (c.refusal) {
                QCOMPARE(sample.ui.lastText(), c.refusal);
                QVERIFY2(sample.unchanged() && QApplication::focusWidget() == id, qPrintable(c.typed));
            } else {
                QCOMPARE(int(readSquadId(blocks, c.row, c.slot)), c.typed.toInt());
                QCOMPARE(squad->currentText(), nameText(squadEntryText(blocks, c.row, c.slot)));
            }
        }
        // An emptied club slot has no player.
        sample.window.selectTeam(70);
        test::pick(squad, 23);
        QCOMPARE(squad->currentText(), QStringLiteral("24. empty position"));
        QVERIFY(!child<QWidget>(&sample.window, "editPlayer")->isEnabled());
    }

    // Names are limited in encoded bytes; a character without a code is refused with a message.
    void namesAreLimitedInBytes() {
        Shown sample;
        const GameBlocks blocks = sample.blocks();
        const struct {
            const char* field;
            int row;
            QString typed, shown;
            bool refused = false;
        } cases[] = {{"teamName", 0, "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNO"},
                     {"teamName", 0, "あいうえおかきくZ", "あいうえおかきZ"},  // 14 bytes and 1
                     {"teamName", 0, QString::fromUtf8("AB\U0001F600C"), "ABC", true},
                     {"shortName", 0, "WXYZ", "WXY"},
                     {"clubName", 104, "Club Atletico Boca Jrs X", "Club Atletico Boca J"}};
        for (const auto& c : cases) {
            const std::string field = c.field;
            const bool team = field == "teamName", club = field == "clubName";
            const auto read = team ? readTeamName : club ? readClubName : readShortName;
            const auto store = team ? storeTeamName : club ? storeClubName : storeShortName;
            const Bytes original = read(blocks, c.row);
            sample.window.selectTeam(c.row);
            auto* name = child<gui::NameField>(&sample.window, c.field);
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            test::typeText(name, c.typed);
            QCoreApplication::processEvents();
            QCOMPARE(name->text(), c.shown);
            QCOMPARE(read(blocks, c.row), encodeShiftJis(c.shown.toStdString()).bytes);
            QVERIFY(sample.ui.messages.size() == std::size_t(c.refused) &&
                    (!c.refused || sample.ui.lastText() == refusalMessage(U'\U0001F600')));
            sample.ui.messages.clear();
            // Nothing but the slot changed: the old name stored back makes the blocks as they were.
            QVERIFY(store(blocks, c.row, original) && sample.unchanged());
        }
    }

    // A stored name with a byte that is no Shift-JIS shows and edits without a false refusal; it is
    // stored only once that byte is gone.
    void nameWithForeignBytesEditsWithoutComplaint() {
        Shown sample;
        const Bytes odd{0xFF, 'A', 'B'};
        QVERIFY(storeTeamName(sample.blocks(), 2, odd));
        sample.snapshot();
        sample.window.selectTeam(2);
        auto* name = child<gui::NameField>(&sample.window, "teamName");
        QTest::keyClick(name, Qt::Key_End);
        test::typeText(name, "C");
        QVERIFY(sample.ui.messages.empty() && sample.unchanged());
        QTest::keyClick(name, Qt::Key_Home);
        QTest::keyClick(name, Qt::Key_Delete);
        QCOMPARE(readTeamName(sample.blocks(), 2), (Bytes{'A', 'B', 'C'}));
        QVERIFY(sample.ui.messages.empty());
    }

    void writeButtonReportsEachOutcome() {
        const struct {
            bool image, missing;
            std::string message;
        } cases[] = {{false, false, "OK!"},
                     {true, false, "OK!"},
                     {false, true, "Failed to save data to exported files!"},
                     {true, true, "Failed to save data to CD image!"}};
        for (const auto& c : cases) {
            Shown sample(c.image ? SourceMode::CdImage : SourceMode::ExportedFiles);
            const auto file = c.image ? sample.source : sample.source / "parameter.ovl";
            const auto before = test::fileChecksum(file);
            if (c.missing) std::filesystem::remove(c.image ? file : sample.source / "select.ovl");
            QVERIFY(QTest::qWaitForWindowActive(&sample.window));
            if (c.image) QTest::keyClick(child<QSpinBox>(&sample.window, "tactics1"), Qt::Key_Down);
            child<QSpinBox>(&sample.window, "tactics1")->setFocus();  // on no list and no button,
            QTest::keyClick(&sample.window, Qt::Key_Return);          // Enter is the default button
            // A failure follows a line with its reason; the first success names the backup next.
            const std::string text = sample.ui.lastText();
            QCOMPARE(c.missing ? text.substr(text.rfind('\n') + 1) : text.substr(0, text.find('\n')), c.message);
            QCOMPARE(text.find("Backup of the files as they were: ") != std::string::npos, c.image && !c.missing);
            QCOMPARE(sample.ui.messages.back().kind, c.missing ? MessageKind::Warning : MessageKind::Information);
            // Unedited files are written back as they were; an edit reaches the image.
            if (!c.missing) QCOMPARE(test::fileChecksum(file) != before, c.image);
        }
    }

    // Another program writes the source meanwhile: with nothing unwritten the window shows it at
    // once; with an unwritten edit a write asks first, and each answer does what it says.
    void aChangeOnDiskIsNeverWrittenOverSilently() {
        using Answer = gui::UiServices::ChangedAnswer;
        const auto speedOnDisk = [](const std::filesystem::path& source, std::uint32_t id) {
            MessageLog log;
            DataStore disk(log);
            Player p;
            if (!disk.LoadFromDirectory(source)) return -1;
            p.load(disk.blocks(), id);
            return static_cast<int>(p.read(PlayerFieldId::Speed));
        };
        const auto otherWrites = [](const std::filesystem::path& source, std::uint32_t id, std::uint32_t speed) {
            MessageLog log;
            DataStore other(log);
            other.setBackups(false);
            Player p;
            return other.LoadFromDirectory(source) &&
                   (p.load(other.blocks(), id), p.write(PlayerFieldId::Speed, speed), true) && other.WriteBack();
        };
        {
            Shown sample;
            QVERIFY(QTest::qWaitForWindowActive(&sample.window));
            QVERIFY(otherWrites(sample.source, 6, 61));
            QTRY_COMPARE(sample.read(6, PlayerFieldId::Speed), 61u);
            QVERIFY(child<QLabel>(&sample.window, "notice")->isVisible());
            QVERIFY(!sample.store.hasUnwrittenChanges());
        }
        const struct {
            Answer answer;
            std::uint32_t theirId;
            int mine, theirs;  // player 5's and the other player's speed on disk afterwards; -1: as before
            bool listed;
        } cases[] = {{Answer::Cancel, 6, -1, 61, false},
                     {Answer::Overwrite, 6, 77, -1, false},
                     {Answer::ReloadKeepingChanges, 6, 77, 61, false},
                     {Answer::ReloadKeepingChanges, 5, 77, 77, true}};
        for (const auto& c : cases) {
            Shown sample;
            QVERIFY(QTest::qWaitForWindowActive(&sample.window));
            const int mineBefore = speedOnDisk(sample.source, 5), before = speedOnDisk(sample.source, c.theirId);
            QVERIFY(mineBefore != 77 && before != 61);
            Player p;
            p.load(sample.store.blocks(), 5);
            p.write(PlayerFieldId::Speed, 77);
            QVERIFY(otherWrites(sample.source, c.theirId, 61));
            sample.ui.changedAnswer = c.answer;
            test::click(&sample.window, "writeButton");
            QCOMPARE(speedOnDisk(sample.source, 5), c.mine == -1 ? mineBefore : c.mine);
            QCOMPARE(speedOnDisk(sample.source, c.theirId), c.theirs == -1 ? before : c.theirs);
            QCOMPARE(sample.ui.listed.contains("player 5 speed: 61 on disk, 77 kept"), c.listed);
            QCOMPARE(sample.store.hasUnwrittenChanges(), c.answer == Answer::Cancel);
        }
    }

    void savedTeamLoadsBackIntoItsRow() {
        Shown sample;
        sample.window.selectTeam(70);
        test::click(&sample.window, "saveTeam");
        const std::filesystem::path file = sample.dir / "team070.dat";
        QCOMPARE(sample.ui.lastText(), "OK, team data saved as \n" + file.string());
        // Change the row through the window, then show another team and load the file.
        QTest::keyClick(child<QSpinBox>(&sample.window, "tactics2"), Qt::Key_Up);
        auto* name = child<gui::NameField>(&sample.window, "teamName");
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, "Changed");
        QVERIFY(!sample.unchanged());
        sample.window.selectTeam(3);
        sample.ui.replies.push_back(gui::toQString(file));
        test::click(&sample.window, "loadTeam");
        QCOMPARE(sample.ui.lastText(), "data of team 071 load OK.");
        QCOMPARE(child<QComboBox>(&sample.window, "teamList")->currentIndex(), 70);
        QVERIFY(name->text() == nameText(readTeamName(sample.blocks(), 70)) && sample.unchanged());
        test::click(&sample.window, "loadTeam");  // cancelled: nothing changes, nothing is said
        QCOMPARE(sample.ui.messages.size(), std::size_t(2));
    }

    // Enter on a focused button presses that button and only it: after an edit that "Write" would
    // store, Close closes, Save team saves a file and Load team asks for one, and the image stays
    // byte for byte as it was.
    void enterPressesTheFocusedButton() {
        for (const char* name : {"close", "saveTeam", "loadTeam"}) {
            Shown sample(SourceMode::CdImage);
            QVERIFY(QTest::qWaitForWindowActive(&sample.window));
            const auto before = test::fileChecksum(sample.source);
            QTest::keyClick(child<QSpinBox>(&sample.window, "tactics1"), Qt::Key_Down);
            sample.ui.closeAnswer = gui::UiServices::CloseAnswer::Discard;
            auto* button = child<QPushButton>(&sample.window, name);
            button->setFocus();  // the window's own handler, reached also where a button leaves Enter to it
            QTest::keyClick(&sample.window, Qt::Key_Return);
            QCOMPARE(test::fileChecksum(sample.source), before);
            QCOMPARE(sample.window.isVisible(), std::string_view(name) != "close");
            if (std::string_view(name) == "saveTeam") QVERIFY(sample.ui.lastText().starts_with("OK, team data saved"));
            if (std::string_view(name) == "loadTeam") QCOMPARE(sample.ui.titles.size(), std::size_t(1));
        }
    }

    // The wheel over a list or number field without the focus changes nothing; with it, it steps.
    void wheelChangesOnlyTheFocusedControl() {
        Shown sample;
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        const auto turn = [](QWidget* control) {
            QWheelEvent wheel(QPointF(5, 5), control->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(control, &wheel);
        };
        for (const char* name : {"tactics0", "squadList", "teamList"}) {
            QWidget* control = child<QWidget>(&sample.window, name);
            sample.snapshot();
            child<QWidget>(&sample.window, "teamName")->setFocus();
            const QImage shown = control->grab().toImage();
            turn(control);
            QVERIFY2(sample.unchanged() && control->grab().toImage() == shown && !control->hasFocus(), name);
            control->setFocus();
            turn(control);
            QVERIFY2(control->grab().toImage() != shown, name);
        }
    }

    // The title's "*" follows the blocks: an edit sets it, the same text typed back clears it, a
    // new edit sets it again and writing clears it.
    void unwrittenMarkFollowsTheBlocks() {
        Shown sample;
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        const QString name = QString::fromLatin1(kAppName);
        QCOMPARE(sample.window.windowTitle(), name);
        auto* field = child<gui::NameField>(&sample.window, "teamName");
        field->setFocus();
        QTest::keyClick(field, Qt::Key_End);
        for (const auto& [key, marked] : {std::pair{Qt::Key_X, true}, {Qt::Key_Backspace, false}, {Qt::Key_Y, true}}) {
            QTest::keyClick(field, key);
            QTRY_COMPARE(sample.window.windowTitle(), marked ? name + "*" : name);
        }
        test::click(&sample.window, "writeButton");
        QCOMPARE(sample.window.windowTitle(), name);
        QVERIFY(sample.window.isVisible());
    }

    // Ctrl+Z in a name field undoes the typing first, then the data's last step (a run of arrow
    // presses); the menu names the steps; a formation move is taken back in the formation editor
    // and, once accepted, in the main window; Ctrl+Y redoes. The "*" and the shown values follow.
    void undoAndRedoFollowEveryStep() {
        Shown sample;
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        const QString name = QString::fromLatin1(kAppName);
        auto* tactics = child<QSpinBox>(&sample.window, "tactics0");
        const int offense = tactics->value(), changed = offense + (offense < tactics->maximum() - 1 ? 2 : -2);
        tactics->setFocus();
        test::stepTo(tactics, changed);
        auto* field = child<gui::NameField>(&sample.window, "teamName");
        const QString text = field->text();
        field->setFocus();
        QTest::keyClick(field, Qt::Key_End);
        QTest::keyClicks(field, "XY");
        QCOMPARE(sample.window.windowTitle(), name + "*");
        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);  // the typing
        QVERIFY(field->text() == text && tactics->value() == changed);
        QCOMPARE(sample.window.windowTitle(), name + "*");
        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);  // the arrow presses, one step
        QVERIFY(tactics->value() == offense && sample.unchanged());
        QCOMPARE(sample.window.windowTitle(), name);
        useMenu(sample.window, QStringLiteral("Redo team 1.Ireland offense: %1 -> %2").arg(offense).arg(changed));
        QVERIFY(tactics->value() == changed && sample.window.windowTitle() == name + "*");
        useMenu(sample.window, QStringLiteral("Undo team 1.Ireland offense: %1 -> %2").arg(offense).arg(changed));
        QVERIFY(sample.unchanged() && sample.window.windowTitle() == name);

        FormationWindow formation(sample.context, kRow);
        formation.show();
        QVERIFY(QTest::qWaitForWindowActive(&formation));
        selectPosition(formation, 0);
        const QPoint at = selectedMarker(formation);
        click(&formation, "down");
        if (selectedMarker(formation) == at) click(&formation, "up");
        const QPoint moved = selectedMarker(formation);
        QVERIFY(moved != at);
        QTest::keyClick(&formation, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(selectedMarker(formation), at);
        QTest::keyClick(&formation, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(selectedMarker(formation), moved);
        click(&formation, "accept");
        QVERIFY(!sample.unchanged() && sample.window.windowTitle() == name + "*");
        sample.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        QTest::keyClick(&sample.window, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(sample.unchanged() && sample.window.windowTitle() == name);
        // Writing keeps the history: an undo after it shows the "*" again.
        QTest::keyClick(&sample.window, Qt::Key_Y, Qt::ControlModifier);
        test::click(&sample.window, "writeButton");
        QCOMPARE(sample.window.windowTitle(), name);
        QTest::keyClick(&sample.window, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(sample.unchanged() && sample.window.windowTitle() == name + "*");
    }

    // Closing with an unwritten edit asks, whichever way it is closed. Cancel keeps the window,
    // Discard closes without writing, Write writes and closes, and a failed write keeps it open.
    // Without an edit nothing is asked.
    void closingWithUnwrittenChangesAsks() {
        using Answer = gui::UiServices::CloseAnswer;
        const std::function<void(QWidget&)> ways[] = {[](QWidget& w) { test::click(&w, "close"); },
                                                      [](QWidget& w) { QTest::keyClick(&w, Qt::Key_Escape); },
                                                      [](QWidget& w) { w.close(); }};
        const struct {
            Answer answer;
            bool edit, writable, closes, written;
        } cases[] = {{Answer::Cancel, true, true, false, false},
                     {Answer::Discard, true, true, true, false},
                     {Answer::Write, true, true, true, true},
                     {Answer::Write, true, false, false, false},
                     {Answer::Cancel, false, true, true, false}};
        for (const auto& way : ways)
            for (const auto& c : cases) {
                Shown sample;
                QVERIFY(QTest::qWaitForWindowActive(&sample.window));
                if (c.edit) QTest::keyClick(child<QSpinBox>(&sample.window, "tactics1"), Qt::Key_Down);
                if (!c.writable) std::filesystem::remove(sample.source / "select.ovl");
                sample.ui.closeAnswer = c.answer;
                way(sample.window);
                const QString question = "Write the changes into " + gui::toQString(sample.source) + " before closing?";
                QCOMPARE(sample.ui.titles, c.edit ? std::vector<QString>{question} : std::vector<QString>{});
                QCOMPARE(sample.window.isVisible(), !c.closes);
                QCOMPARE(sample.store.hasUnwrittenChanges(), c.edit && !c.written);
            }
    }

    // Ctrl+F opens the find box, wide enough for a whole line; a typed ID lists the player with the
    // slots holding it, numbered as the squad list numbers them, and Enter selects the first team
    // and slot and opens the player editor there. (Finding by a name part:
    // the player search tests.)
    void findPlayerSelectsItsSlotAndOpensTheEditor() {
        QSettings(QString::fromLatin1(kAppName), QString::fromLatin1(kAppName)).clear();  // no size kept
        Shown sample;
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        QTest::keyClick(&sample.window, Qt::Key_F, Qt::ControlModifier);
        auto* box = child<gui::FindPlayerWindow>(&sample.window, "findPlayer");
        QVERIFY(box->isVisible());
        auto* text = child<QLineEdit>(box, "findText");
        auto* matches = child<QListWidget>(box, "matches");
        QTest::keyClicks(text, "12");
        QCOMPARE(matches->count(), 1);
        QVERIFY(matches->item(0)->text().contains("1.Ireland slot 12"));
        QString editorTitle;
        QTimer::singleShot(0, [&] {
            if (QWidget* editor = QApplication::activeModalWidget()) {
                editorTitle = editor->metaObject()->className();
                editor->close();
            }
        });
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(editorTitle, QStringLiteral("tarvo::gui::PlayerEditorWindow"));
        QCOMPARE(child<QComboBox>(&sample.window, "teamList")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>(&sample.window, "squadList")->currentIndex(), 11);
        QVERIFY(child<QComboBox>(&sample.window, "squadList")->currentText().startsWith("12. "));
        QVERIFY(sample.unchanged());
        QVERIFY(!matches->horizontalScrollBar()->isVisible());  // the whole line shows

        // Up and Down in the search field move the selection; Enter opens the selected match.
        QSignalSpy picked(box, &gui::FindPlayerWindow::picked);
        test::retype(text, "a");
        QVERIFY(matches->count() >= 3);
        for (const auto key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) QTest::keyClick(text, key);
        QCOMPARE(matches->currentRow(), 1);
        QTimer::singleShot(0, [] {
            if (QWidget* editor = QApplication::activeModalWidget()) editor->close();
        });
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(picked.size(), 1);
        const uint id = picked[0][0].toUInt();
        const int row = picked[0][1].toInt(), slot = picked[0][2].toInt();
        QVERIFY(matches->item(1)->text().startsWith(QString::number(id) + "  "));
        if (row >= 0) QCOMPARE(child<QComboBox>(&sample.window, "squadList")->currentIndex(), slot);

        // The box keeps the size it was given.
        box->resize(box->width() + 40, box->height() + 30);
        const QSize given = box->size();
        box->close();
        gui::FindPlayerWindow again(sample.context);
        QCOMPARE(again.size(), given);
    }

    // Enter on a list confirms the choice and writes nothing; on an open list it closes the list
    // with the highlighted entry chosen. (Elsewhere it writes: writeButtonReportsEachOutcome.)
    void enterOnAListChoosesWithoutWriting() {
        Shown sample(SourceMode::CdImage);
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        const auto before = test::fileChecksum(sample.source);
        auto* squad = child<QComboBox>(&sample.window, "squadList");
        squad->setFocus();
        QTest::keyClick(squad, Qt::Key_Down);
        QTest::keyClick(squad, Qt::Key_Return);
        QCOMPARE(squad->currentIndex(), 1);
        auto* captain = child<QComboBox>(&sample.window, "setPiece5");
        const int taker = captain->currentIndex() == 0 ? 1 : 0;
        captain->setFocus();
        captain->showPopup();
        QTRY_VERIFY(captain->view()->isVisible());
        captain->view()->setCurrentIndex(captain->model()->index(taker, 0));
        QTest::keyClick(captain, Qt::Key_Return);
        QTRY_VERIFY(!captain->view()->isVisible());
        QCOMPARE(captain->currentIndex(), taker);
        QCOMPARE(test::fileChecksum(sample.source), before);
        QVERIFY(sample.store.hasUnwrittenChanges());  // the captain chosen, not written
    }

    // A file of players or of team rows: the changes are listed in words and applied only after
    // the user confirms; then the window shows them and the title marks them unwritten. A bad cell
    // is named with its line and column and nothing is listed or changed.
    void importShowsTheChangesAndAppliesThemAfterConfirming() {
        for (const bool confirm : {true, false})
            for (const bool players : {true, false}) {
                Shown sample;
                sample.window.selectTeam(7);
                const int speed = int(sample.read(12, PlayerFieldId::Speed)), newSpeed = speed == 80 ? 81 : 80;
                const int offense = readTactics(sample.blocks(), 7, 0), newOffense = offense == 15 ? 16 : 15;
                const auto file = sample.dir / "sheet.csv";
                test::writeFile(file,
                                test::bytesOf(players ? "id,speed\r\n12," + std::to_string(newSpeed) + "\r\n"
                                                      : "row,offense\r\n7," + std::to_string(newOffense) + "\r\n"));
                sample.ui.replies = {gui::toQString(file)};
                sample.ui.yes = confirm;
                useMenu(sample.window, QStringLiteral("Import players (CSV)..."));
                const QString change =
                    players ? QStringLiteral("player 12 speed: %1 -> %2").arg(speed).arg(newSpeed)
                            : QStringLiteral("team 8.France offense: %1 -> %2").arg(offense).arg(newOffense);
                QCOMPARE(sample.ui.listed, QStringList{change});
                QCOMPARE(sample.ui.titles.back(),
                         QStringLiteral("Importing sheet.csv changes these values (1). Apply the changes?"));
                if (!confirm) {
                    QVERIFY(sample.unchanged());
                    continue;
                }
                // (Where the values land: the import's own tests.)
                if (players) QCOMPARE(int(sample.read(12, PlayerFieldId::Speed)), newSpeed);
                if (!players) QCOMPARE(child<QSpinBox>(&sample.window, "tactics0")->value(), newOffense);
                QCOMPARE(sample.window.windowTitle(), QString::fromLatin1(kAppName) + "*");
            }

        Shown sample;
        test::writeFile(sample.dir / "bad.csv", test::bytesOf("id,speed\r\n12,50\r\n13,100\r\n"));
        sample.ui.replies = {gui::toQString(sample.dir / "bad.csv")};
        useMenu(sample.window, QStringLiteral("Import players (CSV)..."));
        QVERIFY(sample.ui.listed.isEmpty());
        QCOMPARE(sample.ui.messages.size(), std::size_t(1));
        QVERIFY2(sample.ui.lastText().find("line 3, column 2 (\"speed\")") != std::string::npos,
                 sample.ui.lastText().c_str());
        QVERIFY(sample.unchanged());
    }

    // The export writes every player with a header row; cancelling the file dialog writes nothing.
    void exportWritesEveryPlayer() {
        Shown sample;
        const auto file = sample.dir / "players.csv";
        useMenu(sample.window, QStringLiteral("Export players (CSV)..."));
        QVERIFY(!std::filesystem::exists(file));
        sample.ui.replies = {gui::toQString(file)};
        useMenu(sample.window, QStringLiteral("Export players (CSV)..."));
        const Bytes bytes = test::readFile(file);
        const std::string text(bytes.begin(), bytes.end());
        QVERIFY(text.starts_with("id,full name,back name,call number,"));
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 2198);
        QVERIFY(sample.unchanged());
    }

    // After a write, the backup of the files as they were is listed; with an unwritten edit the
    // window asks first whether to discard it. Restoring writes the backup's bytes into the source
    // and the window shows them; cancelling the choice changes nothing.
    void restoreBackupWritesItAndShowsIt() {
        for (const bool choose : {false, true}) {
            Shown sample;
            sample.window.selectTeam(7);
            auto* offense = child<QSpinBox>(&sample.window, "tactics0");
            const int original = offense->value();
            const std::vector<Bytes> before = sample.before;
            QTest::keyClick(offense, original == 19 ? Qt::Key_Down : Qt::Key_Up);
            test::click(&sample.window, "writeButton");
            QTest::keyClick(offense, original == 19 ? Qt::Key_Down : Qt::Key_Up);  // unwritten
            const auto written = test::fileChecksum(sample.source / "QXRT_418.27");

            sample.ui.titles.clear();
            sample.ui.yes = true;
            sample.ui.choice = choose ? 0 : -1;
            useMenu(sample.window, QStringLiteral("Restore backup..."));
            const QString source = gui::toQString(sample.source);
            QCOMPARE(sample.ui.titles.size(), std::size_t(choose ? 3 : 2));
            QCOMPARE(sample.ui.titles[0], "The changes not yet written into " + source +
                                              " would be lost. Discard them and choose a backup?");
            QCOMPARE(sample.ui.titles[1], "The backups of " + source + ", newest first:");
            QCOMPARE(sample.ui.listed.size(), 1);
            QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d "))
                        .match(sample.ui.listed[0])
                        .hasMatch());
            if (!choose) {
                QCOMPARE(test::fileChecksum(sample.source / "QXRT_418.27"), written);
                QVERIFY(sample.store.hasUnwrittenChanges());
                continue;
            }
            QVERIFY(QRegularExpression("^Restore the backup of \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d into " +
                                       QRegularExpression::escape(source) + "\\?")
                        .match(sample.ui.titles[2])
                        .hasMatch());
            QCOMPARE(test::readFile(sample.source / "QXRT_418.27"), before[0]);
            QVERIFY(sample.unchanged());  // the blocks in memory are the backup's
            QVERIFY(!sample.store.hasUnwrittenChanges());
            QCOMPARE(offense->value(), original);
            QCOMPARE(sample.window.windowTitle(), QString::fromLatin1(kAppName));
        }
    }

    // A PPF made since the backup (after the user agrees to write first) carries the edit to a
    // fresh copy of the disc: its change is listed and applied only after "Apply", as one step that
    // undoes. A PPF of another disc and a value patch whose old value differs are refused with
    // their reasons; a folder can not make a PPF.
    void patchesAreMadeAndAppliedAfterConfirming() {
        Shown made(SourceMode::CdImage);
        made.window.selectTeam(7);
        auto* offense = child<QSpinBox>(&made.window, "tactics0");
        const int original = offense->value();
        QTest::keyClick(offense, original == 19 ? Qt::Key_Down : Qt::Key_Up);
        const int edited = offense->value();
        const auto ppf = made.dir / "edit.ppf";
        made.ui.yes = false;
        useMenu(made.window, QStringLiteral("Make patch (PPF)..."));
        QVERIFY(made.store.hasUnwrittenChanges() && !std::filesystem::exists(ppf));
        made.ui.yes = true;
        made.ui.choice = 0;
        made.ui.replies = {gui::toQString(ppf)};
        useMenu(made.window, QStringLiteral("Make patch (PPF)..."));
        QVERIFY(!made.store.hasUnwrittenChanges() && std::filesystem::exists(ppf));
        QCOMPARE(made.ui.listed.size(), 1);  // the one backup, made by the write
        QVERIFY2(made.ui.lastText().starts_with("OK, the changes since "), made.ui.lastText().c_str());

        Shown target(SourceMode::CdImage);
        target.window.selectTeam(7);
        const QString change = QStringLiteral("team 8.France offense: %1 -> %2").arg(original).arg(edited);
        for (const bool apply : {false, true}) {
            target.ui.yes = apply;
            target.ui.replies = {gui::toQString(ppf)};
            useMenu(target.window, QStringLiteral("Apply patch..."));
            QCOMPARE(target.ui.listed, QStringList{change});
            QVERIFY(target.ui.titles.back().startsWith(QStringLiteral("Applying edit.ppf changes these values (1).")));
            QCOMPARE(target.unchanged(), !apply);
        }
        QCOMPARE(child<QSpinBox>(&target.window, "tactics0")->value(), edited);
        QCOMPARE(target.window.windowTitle(), QString::fromLatin1(kAppName) + "*");
        target.document.undo();
        QVERIFY(target.unchanged());

        const int speed = int(target.read(12, PlayerFieldId::Speed)), newSpeed = speed == 80 ? 81 : 80;
        Bytes otherDisc = test::readFile(ppf);
        otherDisc[60] ^= 1;  // the check block's first byte
        const std::pair<std::string, Bytes> refused[] = {
            {"another disc image", otherDisc},
            {"line 2", test::bytesOf("tarvo patch 2\nplayer,12,speed," + std::to_string(speed + 1) + ",81\n")}};
        for (const auto& [reason, file] : refused) {
            test::writeFile(target.dir / "refused", file);
            target.ui.replies = {gui::toQString(target.dir / "refused")};
            useMenu(target.window, QStringLiteral("Apply patch..."));
            QVERIFY2(target.ui.lastText().find("is refused, nothing is changed") != std::string::npos &&
                         target.ui.lastText().find(reason) != std::string::npos,
                     target.ui.lastText().c_str());
            QVERIFY(target.unchanged());
        }
        test::writeFile(target.dir / "values.txt",
                        test::bytesOf("tarvo patch 2\nplayer,12,speed," + std::to_string(speed) + "," +
                                      std::to_string(newSpeed) + "\n"));
        target.ui.replies = {gui::toQString(target.dir / "values.txt")};
        useMenu(target.window, QStringLiteral("Apply patch..."));
        QCOMPARE(target.ui.listed, QStringList{QStringLiteral("player 12 speed: %1 -> %2").arg(speed).arg(newSpeed)});
        QCOMPARE(int(target.read(12, PlayerFieldId::Speed)), newSpeed);

        Shown folder;
        useMenu(folder.window, QStringLiteral("Make patch (PPF)..."));
        QVERIFY(folder.ui.lastText().ends_with("a PPF patches a raw disc image (2352-byte sectors)"));
    }

    void movesStopAtTheLimitsAndAcceptStores() {
        for (const bool accept : {true, false}) {
            test::LoadedSample sample;
            storeFormation(sample.blocks(), kRow, spreadFormation());
            sample.snapshot();
            FormationWindow window(sample.context, kRow);
            window.show();
            FormationRecord expected = spreadFormation();
            const struct {
                int position;
                const char* button;
                int x, y;
            } moves[] = {{0, "right", 47, 6}, {0, "up", 47, 6}, {0, "left", 46, 6}, {0, "down", 46, 7},
                         {1, "left", 2, 3},   {1, "up", 2, 3},  {1, "down", 2, 4}};
            for (const auto& m : moves) {
                selectPosition(window, m.position);
                click(&window, m.button);
                expected[10 + m.position] = static_cast<std::uint8_t>(m.x);
                expected[20 + m.position] = static_cast<std::uint8_t>(m.y);
                QVERIFY2(selectedMarker(window) == markerOf(expected, m.position), m.button);
            }
            QVERIFY(sample.unchanged());  // only the working copy until "Accept"
            click(&window, accept ? "accept" : "cancel");
            QVERIFY(!window.isVisible());
            QCOMPARE(readFormation(sample.blocks(), kRow), accept ? expected : spreadFormation());
            QCOMPARE(sample.changes().size(), accept ? 3u : 0u);
        }
    }

    // The role list stores the role's code, not its place in the list: "CB" is code 4, "CB_L1"
    // code 3, "RW" code 34.
    void roleListStoresRoleCodes() {
        test::LoadedSample sample;
        FormationWindow window(sample.context, kRow);
        window.show();
        auto* roles = test::child<QComboBox>(&window, "roles");
        const std::tuple<int, int, int> picks[] = {{2, 0, 4}, {3, 1, 3}, {9, 32, 34}};
        for (const auto& [position, entry, code] : picks) {
            selectPosition(window, position);
            roles->setCurrentIndex(entry);
            emit roles->activated(entry);
        }
        click(&window, "accept");
        const FormationRecord stored = readFormation(sample.blocks(), kRow);
        for (const auto& [position, entry, code] : picks) QCOMPARE(int(stored[std::size_t(position)]), code);
    }

    // A preset replaces the working formation; "default" brings back the team's own, and
    // choosing the chosen entry again undoes the edits made since.
    void presets() {
        test::LoadedSample sample;
        const FormationRecord own = readFormation(sample.blocks(), kRow);
        const FormationRecord preset = presetFormation(sample.blocks(), 1);  // "4-5-1-A"
        QVERIFY(own != preset);
        FormationWindow window(sample.context, kRow);
        window.show();
        auto* list = test::child<QListWidget>(&window, "formations");
        const auto choose = [list](int entry) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(entry)).center());
        };
        QCOMPARE(shownPositions(window), positionsOf(own));
        choose(1);
        QCOMPARE(shownPositions(window), positionsOf(preset));
        click(&window, "down");
        choose(0);
        QCOMPARE(shownPositions(window), positionsOf(own));
        choose(1);
        click(&window, "down");
        choose(1);  // chosen again: undone
        QCOMPARE(shownPositions(window), positionsOf(preset));
        click(&window, "accept");
        QCOMPARE(readFormation(sample.blocks(), kRow), preset);
    }

    // "Load formation" takes the formation of a saved team into the working copy only.
    void loadFormationTakesAnotherTeamsFormation() {
        test::LoadedSample sample;
        storeFormation(sample.blocks(), 80, spreadFormation());
        QVERIFY(exportTeam(sample.blocks(), 80, sample.dir.path(), sample.ui));
        sample.snapshot();
        FormationWindow window(sample.context, kRow);
        window.show();
        selectPosition(window, 4);
        sample.ui.replies = {gui::toQString(sample.dir / "team080.dat")};
        click(&window, "loadFormation");
        QCOMPARE(sample.ui.lastText(), "Formation load OK.");
        QVERIFY(test::child<QRadioButton>(&window, "position0")->isChecked());
        QCOMPARE(selectedMarker(window), markerOf(spreadFormation(), 0));
        QCOMPARE(shownPositions(window), positionsOf(spreadFormation()));
        QVERIFY(sample.unchanged());
    }

    void listsEditsAndRevertsRowsOnTheirOwn() {
        Edited sample;
        gui::ChangesWindow window(sample.context);
        window.show();
        auto* list = child<QTreeWidget>(&window, "changeList");
        auto* revert = child<QPushButton>(&window, "revert");
        QCOMPARE(topRows(list), (QStringList{kStamina, kName, kSpeed, kFormation, kSquad}));
        QTreeWidgetItem* stamina = rowNamed(list, kStamina);
        QCOMPARE(stamina->childCount(), 2197);
        QCOMPARE(stamina->child(0)->text(0), QStringLiteral("player 1 stamina: 50 -> 55"));
        QCOMPARE(stamina->child(2196)->text(0), QStringLiteral("player 2197 stamina: 50 -> 55"));
        QVERIFY(!revert->isEnabled());  // nothing selected

        // One row: the speed goes back, nothing else does.
        rowNamed(list, kSpeed)->setSelected(true);
        QVERIFY(revert->isEnabled());
        test::click(&window, "revert");
        QCOMPARE(topRows(list), (QStringList{kStamina, kName, kFormation, kSquad}));
        QCOMPARE(sample.read(123, PlayerFieldId::Speed), 72u);
        QCOMPARE(sample.read(123, PlayerFieldId::Stamina), 55u);  // (both copies: the change list's tests)
        QCOMPARE(readSquadId(sample.blocks(), 43, 3), 1040);

        // One player of the group, then the rest of the group as one row.
        rowNamed(list, kStamina)->child(6)->setSelected(true);
        test::click(&window, "revert");
        QCOMPARE(topRows(list), (QStringList{QStringLiteral("stamina: 2196 players"), kName, kFormation, kSquad}));
        QCOMPARE(sample.read(7, PlayerFieldId::Stamina), 50u);
        QCOMPARE(sample.read(8, PlayerFieldId::Stamina), 55u);
        list->topLevelItem(0)->setSelected(true);
        test::click(&window, "revert");
        QCOMPARE(topRows(list), (QStringList{kName, kFormation, kSquad}));
        QCOMPARE(sample.read(2197, PlayerFieldId::Stamina), 50u);

        // Everything: the list says so, and the blocks are what was written.
        list->selectAll();
        test::click(&window, "revert");
        QVERIFY(list->isHidden());
        QVERIFY(child<QLabel>(&window, "noChanges")->isVisible());
        QCOMPARE(child<QLabel>(&window, "noChanges")->text(),
                 QStringLiteral("No changes since the data were loaded or last written."));
        QVERIFY(!sample.store.hasUnwrittenChanges());
        test::click(&window, "close");
        QVERIFY(!window.isVisible());
    }

    // The main window's button and Ctrl+D open the list; a revert there shows in the main window.
    void mainWindowOpensItAndShowsWhatWasReverted() {
        Edited sample;
        gui::TeamWindow main(sample.context);
        main.show();
        test::pick(child<QComboBox>(&main, "teamList"), 43);
        test::pick(child<QComboBox>(&main, "squadList"), 3);
        QCOMPARE(child<QLineEdit>(&main, "playerId")->text(), QStringLiteral("1040"));
        QVERIFY(child<QComboBox>(&main, "squadList")->currentText().startsWith("4. "));  // kSquad's "slot 4"

        QStringList seen;
        const auto onOpen = [&seen](bool revertSquad) {
            QTimer::singleShot(0, [&seen, revertSquad] {
                auto* changes = qobject_cast<gui::ChangesWindow*>(QApplication::activeModalWidget());
                if (!changes) return;
                auto* list = child<QTreeWidget>(changes, "changeList");
                seen = topRows(list);
                if (revertSquad) {
                    rowNamed(list, kSquad)->setSelected(true);
                    test::click(changes, "revert");
                }
                test::click(changes, "close");
            });
        };
        onOpen(false);
        test::click(&main, "changesButton");
        QCOMPARE(seen, (QStringList{kStamina, kName, kSpeed, kFormation, kSquad}));
        seen.clear();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        onOpen(true);
        QTest::keyClick(&main, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(seen.size(), 5);
        QCOMPARE(child<QLineEdit>(&main, "playerId")->text(), QStringLiteral("512"));
        QCOMPARE(child<QComboBox>(&main, "squadList")->currentIndex(), 3);
    }

    void everyNameCharacterIsInTheNameFonts() {
        test::LoadedSample sample;
        gui::TeamWindow window(sample.context);
        picker::PickerState state;
        gui::PickerWindow picker(sample.ui, state);

        const GameBlocks blocks = sample.blocks();
        std::vector<Bytes> names;
        for (int row = 0; row < blockmap::kTeamRows; ++row)
            for (const Bytes& name : {readTeamName(blocks, row), readClubName(blocks, row), readShortName(blocks, row)})
                names.push_back(name);
        for (std::uint32_t id = 1; id <= blockmap::kPlayerCount; ++id)
            for (const PlayerName which : {PlayerName::Full, PlayerName::Back})
                names.push_back(readPlayerName(blocks, which, id));
        QSet<char32_t> characters;
        for (const Bytes& name : names)
            for (const char32_t c : QString::fromStdString(decodeShiftJis(name)).toUcs4()) characters.insert(c);
        QVERIFY(characters.contains(U'ア'));  // the sample's names are Japanese, not only Latin

        const QWidget* controls[] = {child<QWidget>(&window, "teamName"), child<QWidget>(&window, "teamList"),
                                     child<QWidget>(&window, "squadList"), child<QWidget>(&picker, "str")};
        for (const QWidget* control : controls) {
            const QFontMetrics metrics(control->font());
            for (const char32_t c : characters)
                if (!metrics.inFontUcs4(c))
                    QFAIL(qPrintable(QStringLiteral("%1 cannot draw U+%2 in %3")
                                         .arg(control->objectName())
                                         .arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'))
                                         .arg(control->font().family())));
        }
    }

    // Paging stops at 0 and 22 without a change (the selection outline stays); goto takes 0-22 only.
    void pagingGotoAndCellClicks() {
        test::FakeUi ui;
        picker::PickerState state;
        PickerWindow window(ui, state);
        window.show();
        // A step: a click on a cell first or not, a button (a page number typed: "goto"), what follows.
        const struct {
            bool click;
            QString button;
            int times, page;
            bool selected;
        } steps[] = {{true, "<<", 1, 0, true},  {false, ">>", 1, 1, false}, {false, ">>", 30, 22, false},
                     {true, ">>", 1, 22, true}, {false, "23", 1, 22, true}, {false, "", 1, 22, true},
                     {false, "0", 1, 0, false}, {true, "0", 1, 0, true}};
        for (const auto& s : steps) {
            if (s.click) clickCell(&window, 0, 0);
            const bool paging = s.button == "<<" || s.button == ">>";
            paging ? press(&window, s.button, s.times) : goTo(&window, s.button);
            QVERIFY2(state.page == s.page && child<QLineEdit>(&window, "page")->text() == QString::number(s.page),
                     qPrintable(s.button));
            QVERIFY2(selectedCell(&window).has_value() == s.selected, qPrintable(s.button));
        }
        QVERIFY(ui.messages.size() == 2u && ui.lastText() == "Please enter an integer between 0 and 22.");
        // A click shows the cell's code and character; cells past the last code show the blank.
        for (const auto& [page, row, column, hex, text] :
             {std::tuple{"22", 13, 6, "8140", QString(QChar(0x3000))}, {"0", 0, 1, "8142", QString::fromUtf8("。")}}) {
            goTo(&window, page);
            clickCell(&window, row, column);
            QCOMPARE(child<QLineEdit>(&window, "hex")->text(), QString::fromLatin1(hex));
            QCOMPARE(child<QLineEdit>(&window, "str")->text(), text);
            QCOMPARE(selectedCell(&window), (picker::Cell{row, column}));
        }
        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(336, 30));  // outside the grid
        QCOMPARE(selectedCell(&window), (picker::Cell{0, 1}));
    }

    // The picker is a window of its own; a second click on the button while it is open does nothing.
    void stateSurvivesClosingAndReopening() {
        test::LoadedSample sample;
        gui::TeamWindow team(sample.context);
        team.show();
        test::click(&team, "pickerButton");
        const QList<PickerWindow*> shown = openPickers();
        QVERIFY(shown.size() == 1 && shown[0]->isVisible() && !shown[0]->parent());
        test::click(&team, "pickerButton");
        QCOMPARE(openPickers(), shown);
        PickerWindow* first = shown[0];
        press(first, ">>", 2);
        clickCell(first, 1, 1);
        QTest::keyClick(first, Qt::Key_Return);  // Enter closes it
        QTRY_VERIFY(openPickers().isEmpty());
        test::click(&team, "pickerButton");
        auto* second = openPickers().value(0);
        QVERIFY(second);
        for (const char* field : {"page", "gotoPage"})
            QCOMPARE(child<QLineEdit>(second, field)->text(), QStringLiteral("2"));
        QVERIFY(!selectedCell(second) && sample.unchanged());  // the page is kept, the selection is not
    }

    // The player editor is modal to the team window only: the picker beside it takes clicks. Its
    // characters go to the cursor of the name field that last had the focus; one that would pass
    // the full name's 30 bytes is refused.
    void pickerTypesIntoTheNamesBesideThePlayerEditor() {
        test::LoadedSample sample;
        gui::TeamWindow team(sample.context);
        team.show();
        QVERIFY(QTest::qWaitForWindowActive(&team));
        const std::uint16_t id = readSquadId(sample.blocks(), 0, 0);
        Qt::WindowModality modality = Qt::ApplicationModal;
        QStringList shown;
        QTimer::singleShot(0, [&] {
            QWidget* editor = QApplication::activeModalWidget();
            if (!editor) return;
            modality = editor->windowModality();
            auto* full = child<gui::NameField>(editor, "full name");
            auto* back = child<gui::NameField>(editor, "back name");
            full->selectAll();
            test::typeText(full, "AB");
            QTest::keyClick(full, Qt::Key_Left);
            click(editor, "full name picker");
            PickerWindow* picker = openPickers().value(0);
            if (!picker) return;
            clickCell(picker, 0, 1);  // page 0: "。", 81 42
            shown << full->text();
            editor->activateWindow();  // as a click into the back name does
            if (!QTest::qWaitForWindowActive(editor)) return;
            back->setFocus();
            back->selectAll();
            test::typeText(back, "C");
            clickCell(picker, 0, 1);
            shown << back->text();
            full->selectAll();
            test::typeText(full, QString(27, QLatin1Char('X')));
            click(editor, "full name picker");
            for (int k = 0; k < 2; ++k) clickCell(picker, 0, 1);  // 29 bytes, then 31: refused
            shown << full->text() << child<QLineEdit>(picker, "str")->text();
            editor->close();
        });
        test::click(&team, "editPlayer");
        QCOMPARE(modality, Qt::WindowModal);
        const QString filled = QString(27, QLatin1Char('X')) + QStringLiteral("。");
        QCOMPARE(shown, (QStringList{QStringLiteral("A。B"), QStringLiteral("C。"), filled, QStringLiteral("。")}));
        QCOMPARE(readPlayerName(sample.blocks(), PlayerName::Back, id), (Bytes{'C', 0x81, 0x42}));
        QCOMPARE(readPlayerName(sample.blocks(), PlayerName::Full, id), encodeShiftJis(filled.toStdString()).bytes);
    }

    // The glyph rows show the two-byte characters of the team name (also as it is typed) and of
    // the selected player's name: glyph n is the sheet's cell at 16 * (n mod 16), 15 * (n div 16),
    // drawn once and whole, each next one 16 pixels to the right. 82 A0 is glyph 209, 81 42 glyph 1
    // and ED 40 glyph 6878.
    void glyphRowsShowTheNamesGlyphs() {
        test::LoadedSample sample;
        writePlayerName(sample.blocks(), PlayerName::Full, readSquadId(sample.blocks(), 0, 1),
                        Bytes{0xED, 0x40, 'x', 0x82, 0xA0});
        TeamWindow window(sample.context);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto drawnRow = [](QWidget* box, std::vector<int> glyphs) {
            const QImage drawn = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const auto cell = [](int n) { return gui::glyphSheetImage().copy(16 * (n % 16), 15 * (n / 16), 16, 15); };
            std::vector<QPoint> first;
            for (int y = 0; y + 15 <= drawn.height(); ++y)
                for (int x = 0; x + 16 <= drawn.width(); ++x)
                    if (drawn.copy(x, y, 16, 15) == cell(glyphs[0])) first.emplace_back(x, y);
            bool row = first.size() == 1;
            for (std::size_t k = 1; row && k < glyphs.size(); ++k)
                row = drawn.copy(first[0].x() + 16 * int(k), first[0].y(), 16, 15) == cell(glyphs[k]);
            return row;
        };
        auto* name = child<QWidget>(&window, "teamName");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        test::typeText(name, QString::fromUtf8("Aあ。"));
        QVERIFY(readTeamName(sample.blocks(), 0) == (Bytes{'A', 0x82, 0xA0, 0x81, 0x42}));
        QVERIFY(drawnRow(child<QWidget>(&window, "teamNameGlyphs"), {209, 1}));
        test::pick(child<QComboBox>(&window, "squadList"), 1);
        QVERIFY(drawnRow(child<QWidget>(&window, "playerNameGlyphs"), {6878, 209}));
    }

    // F1 opens the About box, which names the program and its version.
    void f1OpensAbout() {
        Shown sample;
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        QString title, text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            title = box->windowTitle(), text = box->text();
            box->accept();
        });
        QTest::keyClick(&sample.window, Qt::Key_F1);
        QCOMPARE(title, QStringLiteral("About Tarvo_Riviza_Editor"));
        QVERIFY(text.startsWith(QStringLiteral("Tarvo_Riviza_Editor Version ")));
    }
};

QTEST_MAIN(TeamWindowTest)
#include "team_window_gui_test.moc"
