// The player editor and its three pages on the sample disc: what each kind of control shows and
// stores (in both copies of the record, and nowhere else), that showing
// and closing writes nothing, and the player file buttons.

#include "player/page_rules.h"
#include "player/player_file.h"
#include "player/ui/player_editor_window.h"
#include "records/player_tables.h"
#include "store/block_map.h"
#include "support/loaded_sample_qt.h"
#include "text/sjis.h"

using namespace tarvo;
using tarvo::gui::PlayerEditorWindow;
using tarvo::test::child;
using tarvo::test::pick;

namespace {

constexpr std::uint32_t kId = 12, kNoCallPlayer = 173;  // the sample gives every 173rd player no call
constexpr std::size_t kRecordSize = blockmap::kRecordSize;

struct Env : test::LoadedSample {
    // Stores a field's value for a player as loaded data may hold it (raw: before the field's offset).
    void storeRaw(std::uint32_t id, PF field, std::uint32_t raw) {
        player.load(blocks(), id);
        player.write(field, raw + fieldOf(field).offset);
    }
    ByteSpan record(std::uint32_t id) { return store.parameter().subspan(recordAt(id), kRecordSize); }
    // The record and its copy in the boot file are alike, and no byte outside them changed.
    bool onlyRecordChanged(std::uint32_t id) {
        const std::size_t copyAt = recordAt(id) - blockmap::kRecordOffset + blockmap::kRecordCopyOffset;
        for (const std::string& change : changes()) {
            const std::size_t offset = std::stoul(change.substr(change.find(' ') + 1));
            const std::size_t start = change[0] == 'b' ? copyAt : recordAt(id);
            if (change[0] == 's' || offset < start || offset >= start + kRecordSize) return false;
        }
        return std::ranges::equal(record(id), store.boot().subspan(copyAt, kRecordSize));
    }
    static std::size_t recordAt(std::uint32_t id) { return blockmap::kRecordOffset + (id - 1) * kRecordSize; }
    std::uint16_t callCopy(std::uint32_t id) {
        return readU16LE(store.select(), blockmap::kCallNumberCopyOffset + (id - 1) * 2).value();
    }
    std::unique_ptr<PlayerEditorWindow> open(std::uint32_t id) {
        auto window = std::make_unique<PlayerEditorWindow>(context, id);
        window->show();
        return window;
    }
};

}  // namespace

class PlayerEditorTest : public QObject {
    Q_OBJECT
private slots:
    // Values the pages cannot show as they are survive being shown; they show as the nearest
    // value in range, or without a selection.
    void showingAndClosingWritesNothing() {
        Env env;
        const struct {
            PF field;
            std::uint32_t raw;
            const char* control;
            int shown;
        } odd[] = {
            {PF::Height, 60, "height", 205}, {PF::Weight, 10, "weight", 40}, {PF::Skin, 2, "skin", 2},
            {PF::Face, 119, "face", 32},     {PF::Nation, 60, "nation", -1}, {PF::Offense, 0, "offense", -1},
            {PF::Speed, 120, "speed", -1},   {PF::Injury, 3, "injury", -1},  {PF::HairType, 110, "hair type", -1}};
        for (const auto& o : odd) env.storeRaw(kId, o.field, o.raw);
        writeCallNumber(env.blocks(), kId, 20000);  // outside the offered call numbers
        env.snapshot();
        for (std::uint32_t id : {kId, kNoCallPlayer, 1u, 2197u}) {
            auto window = env.open(id);
            auto* tabs = child<QTabWidget>(window.get(), "pages")->tabBar();
            for (int page : {1, 2, 0}) QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
            for (const auto& o : odd) {
                QWidget* control = child<QWidget>(window.get(), o.control);
                const auto* list = qobject_cast<QComboBox*>(control);
                const int shown = list ? list->currentIndex() : qobject_cast<QSpinBox*>(control)->value();
                QVERIFY2(id != kId || shown == o.shown, o.control);
            }
            if (id == kId) QCOMPARE(child<QSpinBox>(window.get(), "call name")->value(), 20000);
            QTest::keyClick(window.get(), Qt::Key_Escape);
            QVERIFY(!window->isVisible());
        }
        QVERIFY2(env.unchanged(), "showing a player changed the game data");
    }

    // Each kind of list: the entry it shows for a stored value, and the value a pick stores (every
    // entry of every list: the page rule tests).
    void listsShowAndStore() {
        Env env;
        const struct {
            const char* control;
            PF field;
            std::uint32_t raw;
            QString shown;
            int entry, stored;
        } cases[] = {{"offense", PF::Offense, 75, "75", 98, 99},       // an ability, 1-99
                     {"nation", PF::Nation, 240, "81.FREE", 56, 105},  // codes of the nation table
                     {"position2", PF::Position2, 11, "None", 5, 5}};
        for (const auto& c : cases) {
            env.storeRaw(kId, c.field, c.raw);
            env.snapshot();
            auto window = env.open(kId);
            auto* list = child<QComboBox>(window.get(), c.control);
            QCOMPARE(list->currentText(), c.shown);
            pick(list, c.entry);
            QCOMPARE(env.player.read(c.field), std::uint32_t(c.stored));
            QVERIFY2(env.onlyRecordChanged(kId), c.control);
        }
    }

    // A number typed out of range stores nothing. The skin bounds the face: a wider range shows the
    // stored face, a narrower one stores nothing. "bald" and "NO" beard store 63 and disable their
    // colour; another style enables it again.
    void numbersAndLinkedLooks() {
        Env env;
        env.storeRaw(kId, PF::Height, 30);  // 178
        env.storeRaw(kId, PF::Skin, 2);
        env.storeRaw(kId, PF::Face, 119);  // face 120
        env.snapshot();
        auto window = env.open(kId);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QSpinBox* height = child<QSpinBox>(window.get(), "height");
        for (const auto& [typed, stored] : {std::pair{"300", 178u}, {"190", 190u}}) {
            test::retype(height, typed);
            QCOMPARE(env.player.read(PF::Height), stored);
            QVERIFY(stored == 178u ? env.unchanged() : env.onlyRecordChanged(kId));
        }
        QSpinBox* face = child<QSpinBox>(window.get(), "face");
        for (const auto& [skin, maximum, shown] : {std::tuple{0, 125, 120}, {3, 26, 26}}) {
            pick(child<QComboBox>(window.get(), "skin"), skin);
            QVERIFY(face->maximum() == maximum && face->value() == shown && env.player.read(PF::Face) == 120u);
        }
        test::retype(face, "20");
        QCOMPARE(env.player.read(PF::Face), 20u);
        const struct {
            const char *type, *color;
            PF field;
            int off, on;
            QString onText;
            std::uint32_t stored;
        } lists[] = {{"hair type", "hair color", PF::HairColor, kBaldEntry, 4, "1", 0},
                     {"beard type", "beardcolor", PF::BeardColor, kNoBeardEntry, 0, "as hair", 62}};
        for (const auto& l : lists) {
            pick(child<QComboBox>(window.get(), l.type), l.off);
            QCOMPARE(env.player.read(l.field), 63u);
            QVERIFY(!child<QComboBox>(window.get(), l.color)->isEnabled());
            window = env.open(kId);  // and so it opens again
            QVERIFY(!child<QComboBox>(window.get(), l.color)->isEnabled());
            pick(child<QComboBox>(window.get(), l.type), l.on);
            QVERIFY(child<QComboBox>(window.get(), l.color)->isEnabled());
            QCOMPARE(child<QComboBox>(window.get(), l.color)->currentText(), l.onText);
            QCOMPARE(env.player.read(l.field), l.stored);
        }
        QVERIFY(env.onlyRecordChanged(kId));
    }

    // Showing a player bounds the face by its skin at once, before any skin is picked. The back name
    // field stores into the back name slots (16 bytes from 71360, copy from 373216), not the full name.
    void faceRangeOnShowAndBackNameSlot() {
        Env env;
        for (const auto& [skin, maximum] : {std::pair{3u, 26}, {1u, 106}, {2u, 32}}) {
            env.storeRaw(kId, PF::Skin, skin);
            auto window = env.open(kId);
            QCOMPARE(child<QSpinBox>(window.get(), "face")->maximum(), maximum);
        }
        env.snapshot();
        const Bytes fullName = readPlayerName(env.blocks(), PlayerName::Full, kId);
        auto window = env.open(kId);
        auto* back = child<QLineEdit>(window.get(), "back name");
        back->selectAll();
        test::typeText(back, "BACKNAME");
        QCoreApplication::processEvents();
        const Bytes typed{'B', 'A', 'C', 'K', 'N', 'A', 'M', 'E'};
        for (const auto& [block, at] :
             {std::pair{env.store.parameter(), std::size_t(71360)}, {env.store.select(), 373216}}) {
            const ByteSpan slot = block.subspan(at + 16 * (kId - 1), 16);
            QCOMPARE(test::hex(slot.first(9)), test::hex(Bytes{'B', 'A', 'C', 'K', 'N', 'A', 'M', 'E', 0}));
        }
        QVERIFY(readPlayerName(env.blocks(), PlayerName::Full, kId) == fullName);
        QVERIFY(readPlayerName(env.blocks(), PlayerName::Back, kId) == typed);
    }

    // "None" gives the player no call; both copies of the call number follow.
    void noneTurnsTheCallOffAndOn() {
        Env env;
        auto window = env.open(kNoCallPlayer);
        auto* none = child<QCheckBox>(window.get(), "None");
        auto* call = child<QSpinBox>(window.get(), "call name");
        QVERIFY(none->isChecked() && !call->isEnabled());
        for (const auto& [action, number] : {std::pair{0, kCallNumberMin}, {1, 12000u}, {0, kNoCallNumber}}) {
            action ? test::retype(call, QString::number(number)) : QTest::mouseClick(none, Qt::LeftButton);
            QCOMPARE(call->isEnabled(), number != kNoCallNumber);
            QVERIFY(readCallNumber(env.blocks(), kNoCallPlayer) == number && env.callCopy(kNoCallPlayer) == number);
            QVERIFY(!child<QPushButton>(window.get(), "Listen1")->isEnabled());  // no voices in exported files
        }
        QVERIFY(call->text().isEmpty() && child<QLineEdit>(window.get(), "voice entry")->text().isEmpty());
    }

    // Export, then import onto another player: a file in lower case, one byte short, missing or
    // with a nation code of no nation (record byte 32, file byte 91) is refused, a cancelled dialog
    // does nothing, and the exported file makes the player a copy.
    void exportThenImportOntoAnotherPlayer() {
        Env env;
        constexpr std::uint32_t kOther = 40;
        auto window = env.open(kId);
        test::click(window.get(), "Export player data to file");
        const auto file = env.dir / "player0012.dat";
        QCOMPARE(test::readFile(file).size(), kPlayerFileSize);
        Bytes lower(kPlayerFileSize, 0), shortFile(kPlayerFileSize - 1, 0);
        std::ranges::copy(std::string("playerdata"), lower.begin());
        std::ranges::copy(std::string("PLAYERDATA"), shortFile.begin());
        test::writeFile(env.dir / "lower.dat", lower);
        test::writeFile(env.dir / "short.dat", shortFile);
        Bytes nation = test::readFile(file);
        nation[59 + 32] = 0xFF;
        test::writeFile(env.dir / "nation.dat", nation);
        window = env.open(kOther);
        env.ui.messages.clear();
        for (const char* name : {"lower.dat", "short.dat", "missing.dat", "", "nation.dat", "player0012.dat"}) {
            env.ui.replies.push_back(*name ? gui::toQString(env.dir / name) : QString());
            test::click(window.get(), "Load player data from file");
            const bool refused = env.ui.messages.empty() || env.ui.messages.back().kind != MessageKind::Information;
            QVERIFY2(*name == 'p' || (refused && env.unchanged()), name);
        }
        QVERIFY(env.ui.messages.size() == 5u && env.ui.messages.front().text == "unknown format!");
        QVERIFY(env.ui.messages[3].text.find("nation.dat: nation = 255 (") != std::string::npos);
        QCOMPARE(env.ui.lastText(), "data of player load OK.");
        QVERIFY(std::ranges::equal(env.record(kOther), env.record(kId)));
        const Bytes name = readPlayerName(env.blocks(), PlayerName::Full, kId);
        const std::uint16_t call = readCallNumber(env.blocks(), kId);
        QVERIFY(readPlayerName(env.blocks(), PlayerName::Full, kOther) == name &&
                readCallNumber(env.blocks(), kOther) == call && env.callCopy(kOther) == call);
        QCOMPARE(child<QLineEdit>(window.get(), "full name")->text(), QString::fromStdString(decodeShiftJis(name)));
    }
};

QTEST_MAIN(PlayerEditorTest)
#include "player_editor_gui_test.moc"
