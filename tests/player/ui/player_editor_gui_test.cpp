// The player editor on the sample disc: what its controls show and store (both copies, nothing
// else), that showing writes nothing, the player file buttons, the bulk change window, and the
// Listen buttons heard through a private sound server (skipped, with the reason, without one).

#include <cmath>
#include <span>

#include "player/page_rules.h"
#include "player/player_file.h"
#include "player/ui/player_editor_window.h"
#include "player/ui/universal_edit_window.h"
#include "player/universal_edit.h"
#include "player/voice_clip.h"
#include "records/player_tables.h"
#include "sample/sample_voice.h"
#include "support/loaded_sample_qt.h"
#include "support/platform.h"
#include "edits/change_list.h"
#include "text/sjis.h"
#include "voice/wav.h"

using namespace tarvo;
using tarvo::gui::PlayerEditorWindow;
using tarvo::test::child;
using tarvo::test::pick;

namespace {

constexpr std::uint32_t kId = 12, kNoCallPlayer = 173;  // the sample gives every 173rd player no call
constexpr std::size_t kRecordSize = 44;                 // records from parameter 112188, copies from boot 2041052

struct Env : test::LoadedSample {
    // Stores a field's value for a player as loaded data may hold it (raw: before the field's offset).
    void storeRaw(std::uint32_t id, PlayerFieldId field, std::uint32_t raw) {
        player.load(blocks(), id);
        player.write(field, raw + fieldOf(field).offset);
    }
    ByteSpan record(std::uint32_t id) { return store.parameter().subspan(recordAt(id), kRecordSize); }
    // The record and its copy in the boot file are alike, and no byte outside them changed.
    bool onlyRecordChanged(std::uint32_t id) {
        const std::size_t copyAt = recordAt(id) - 112188 + 2041052;
        for (const std::string& change : changes()) {
            const std::size_t offset = std::stoul(change.substr(change.find(' ') + 1));
            const std::size_t start = change[0] == 'b' ? copyAt : recordAt(id);
            if (change[0] == 's' || offset < start || offset >= start + kRecordSize) return false;
        }
        return std::ranges::equal(record(id), store.boot().subspan(copyAt, kRecordSize));
    }
    static std::size_t recordAt(std::uint32_t id) { return 112188 + (id - 1) * kRecordSize; }
    std::uint16_t callCopy(std::uint32_t id) { return readU16LE(store.select(), 409202 + (id - 1) * 2).value(); }
    std::unique_ptr<PlayerEditorWindow> open(std::uint32_t id) {
        auto window = std::make_unique<PlayerEditorWindow>(context, id);
        window->show();
        return window;
    }
};

constexpr std::uint16_t kCall = 15833;  // a call whose two entries hold clips on the sample disc
constexpr int kRate = sample::kVoiceSampleRate;
constexpr double kMinDb = 30;

std::vector<std::int16_t> samplesOf(const std::optional<Bytes>& wav) {
    std::vector<std::int16_t> out;
    const auto pcm = wav ? wavPcmOf(*wav) : std::nullopt;
    if (!pcm) return out;
    for (std::size_t i = 0; i + 1 < pcm->dataSize; i += 2)
        out.push_back(static_cast<std::int16_t>(*readU16LE(*wav, pcm->dataOffset + i)));
    return out;
}

// Where in `recording` (starting between `from` and `to`) `clip` fits best, judged on 256
// samples from the clip's first loud one; and the ratio, in dB, of the clip's power to that of the
// difference over the whole clip there.
struct Found {
    std::size_t at = 0;
    double db = -1000;
};
Found findClip(const std::vector<std::int16_t>& recording, std::span<const std::int16_t> clip, std::size_t from,
               std::size_t to) {
    std::size_t loud = 0;
    while (loud < clip.size() && std::abs(clip[loud]) < 500) ++loud;
    const std::size_t probeEnd = std::min(clip.size(), loud + 256);
    Found best;
    double bestError = 1e300;
    for (std::size_t at = from; at < to && at + clip.size() <= recording.size(); ++at) {
        double error = 0;
        for (std::size_t i = loud; i < probeEnd && error < bestError; ++i) {
            const double d = double(recording[at + i]) - clip[i];
            error += d * d;
        }
        if (error < bestError) bestError = error, best.at = at;
    }
    if (bestError == 1e300) return best;
    double signal = 0, noise = 0;
    for (std::size_t i = 0; i < clip.size(); ++i) {
        signal += double(clip[i]) * clip[i];
        const double d = double(recording[best.at + i]) - clip[i];
        noise += d * d;
    }
    best.db = noise == 0 ? 1000 : 10 * std::log10(signal / noise);
    return best;
}

QString dbText(const char* what, double db) { return QStringLiteral("%1: %2 dB").arg(what).arg(db); }

}  // namespace

class PlayerEditorTest : public QObject {
    Q_OBJECT
private slots:
    // Values outside what the pages offer show as they are stored, marked with the range offered,
    // and survive being shown; a code with no entry shows as "<code N>". One press of Up on a weight
    // of 27 stores 28, and a value back in range is no longer marked.
    void storedValuesShowAsTheyAre() {
        Env env;
        const struct {
            PlayerFieldId field;
            std::uint32_t raw;
            const char* control;
            QString shown;
        } odd[] = {{PlayerFieldId::Height, 60, "height", "208"},
                   {PlayerFieldId::Weight, 27, "weight", "27"},
                   {PlayerFieldId::Skin, 2, "skin", "3"},
                   {PlayerFieldId::Face, 119, "face", "120"},
                   {PlayerFieldId::Nation, 60, "nation", "<code 60>"},
                   {PlayerFieldId::Offense, 0, "offense", "<code 0>"},
                   {PlayerFieldId::Speed, 120, "speed", "<code 120>"},
                   {PlayerFieldId::Injury, 3, "injury", "<code 3>"},
                   {PlayerFieldId::HairType, 110, "hair type", "<code 110>"}};
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
                const QString shown = list ? list->currentText() : qobject_cast<QSpinBox*>(control)->text();
                const bool marked = !control->toolTip().isEmpty();
                QVERIFY2(id != kId || (shown == o.shown && marked == (o.field != PlayerFieldId::Skin)), o.control);
            }
            const auto* call = child<QSpinBox>(window.get(), "call name");
            QVERIFY(id != kId || (call->value() == 20000 && !call->toolTip().isEmpty()));
            QTest::keyClick(window.get(), Qt::Key_Escape);
            QVERIFY(!window->isVisible());
        }
        QVERIFY2(env.unchanged(), "showing a player changed the game data");

        auto window = env.open(kId);
        auto* weight = child<QSpinBox>(window.get(), "weight");
        QCOMPARE(weight->palette().color(QPalette::Text), QColor(192, 0, 0));
        QVERIFY(weight->toolTip().contains(QStringLiteral("40 to ")));
        weight->setFocus();
        QTest::keyClick(weight, Qt::Key_Up);
        const std::vector<Change> changes = listChanges(env.blocksBefore(), readOnly(env.blocks()));
        QCOMPARE(changes.size(), 1u);
        QCOMPARE(describeChange(changes[0]), std::string("player 12 weight: 27 -> 28"));
        QTest::keyClick(weight, Qt::Key_Down);  // 27 is no longer offered
        QCOMPARE(env.read(kId, PlayerFieldId::Weight), 28u);
        test::retype(weight, "70");
        QVERIFY(env.read(kId, PlayerFieldId::Weight) == 70u && weight->toolTip().isEmpty() && weight->minimum() == 40);
        auto* nation = child<QComboBox>(window.get(), "nation");
        const int entries = nation->count();
        pick(nation, entries - 2);
        QVERIFY(nation->count() == entries - 1 && nation->toolTip().isEmpty());
    }

    // Each kind of list: the entry it shows for a stored value, and the value a pick stores (every
    // entry of every list: the page rule tests).
    void listsShowAndStore() {
        Env env;
        const struct {
            const char* control;
            PlayerFieldId field;
            std::uint32_t raw;
            QString shown;
            int entry, stored;
        } cases[] = {{"offense", PlayerFieldId::Offense, 75, "75", 98, 99},       // an ability, 1-99
                     {"nation", PlayerFieldId::Nation, 240, "81.FREE", 56, 105},  // codes of the nation table
                     {"position2", PlayerFieldId::Position2, 11, "None", 5, 5}};
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

    // Each special ability's box sets and clears its one bit of the record (BitRecord position p:
    // byte 43 - p / 8, bit 7 - p % 8), both copies and nothing else; the injury list stores its
    // entry's code in positions 66-67: "A" is 2.
    void specialAbilitiesStoreTheirBits() {
        Env env;
        env.storeRaw(kId, PlayerFieldId::Injury, 0);
        const std::pair<const char*, int> boxes[] = {
            {"dribbling", 87},  {"post player", 86}, {"positioning", 85}, {"running out", 84}, {"striker", 83},
            {"game maker", 82}, {"passer", 81},      {"feints", 69},      {"PK kicker", 80},   {"1vs1 shoot", 79},
            {"long throw", 78}, {"direct play", 77}, {"outside", 68},     {"man mark", 76},    {"defense line", 75},
            {"feed kick", 72},  {"PK keeper", 70},   {"1vs1 GK", 71}};
        auto window = env.open(kId);
        auto* tabs = child<QTabWidget>(window.get(), "pages")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
        const Bytes before(env.record(kId).begin(), env.record(kId).end());
        env.snapshot();
        for (const auto& [name, position] : boxes) {
            auto* box = child<QCheckBox>(window.get(), name);
            Bytes expected = before;
            expected[static_cast<std::size_t>(43 - position / 8)] ^= static_cast<std::uint8_t>(0x80 >> position % 8);
            QTest::mouseClick(box, Qt::LeftButton);
            QVERIFY2(std::ranges::equal(env.record(kId), expected) && env.onlyRecordChanged(kId), name);
            QTest::mouseClick(box, Qt::LeftButton);
            QVERIFY2(env.unchanged(), name);
        }
        pick(child<QComboBox>(window.get(), "injury"), 2);
        Bytes injured = before;
        injured[35] |= 0x20;  // position 66: byte 35, bit 5; 67 stays 0
        QVERIFY(std::ranges::equal(env.record(kId), injured) && env.onlyRecordChanged(kId));
    }

    // A number typed out of range stores nothing. The skin bounds the face: a narrower range still
    // shows the stored face. "bald" and "NO" beard store 63 and disable their colour; another style
    // enables it again.
    void numbersAndLinkedLooks() {
        Env env;
        env.storeRaw(kId, PlayerFieldId::Height, 30);  // 178
        env.storeRaw(kId, PlayerFieldId::Skin, 2);
        env.storeRaw(kId, PlayerFieldId::Face, 119);  // face 120
        env.snapshot();
        auto window = env.open(kId);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QSpinBox* height = child<QSpinBox>(window.get(), "height");
        for (const auto& [typed, stored] : {std::pair{"300", 178u}, {"190", 190u}}) {
            test::retype(height, typed);
            QCOMPARE(env.player.read(PlayerFieldId::Height), stored);
            QVERIFY(stored == 178u ? env.unchanged() : env.onlyRecordChanged(kId));
        }
        QSpinBox* face = child<QSpinBox>(window.get(), "face");
        for (const auto& [skin, maximum, shown] : {std::tuple{0, 125, 120}, {3, 120, 120}}) {
            pick(child<QComboBox>(window.get(), "skin"), skin);
            QVERIFY(face->maximum() == maximum && face->value() == shown &&
                    env.player.read(PlayerFieldId::Face) == 120u);
        }
        test::retype(face, "20");
        QCOMPARE(env.player.read(PlayerFieldId::Face), 20u);
        const struct {
            const char *type, *color;
            PlayerFieldId field;
            int off, on;
            QString onText;
            std::uint32_t stored;
        } lists[] = {{"hair type", "hair color", PlayerFieldId::HairColor, kBaldEntry, 4, "1", 0},
                     {"beard type", "beardcolor", PlayerFieldId::BeardColor, kNoBeardEntry, 0, "as hair", 62}};
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

    // Showing a player bounds the face by its skin at once, before any skin is picked (the bounds:
    // the page rule tests). The back name field stores the back name, not the full name.
    void faceRangeOnShowAndBackNameSlot() {
        Env env;
        for (const auto& [skin, maximum] : {std::pair{3u, 26}, {1u, 106}}) {
            env.storeRaw(kId, PlayerFieldId::Skin, skin);
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
        QVERIFY(readPlayerName(env.blocks(), PlayerName::Full, kId) == fullName);
        QVERIFY(readPlayerName(env.blocks(), PlayerName::Back, kId) == (Bytes{'B', 'A', 'C', 'K', 'N', 'A', 'M', 'E'}));
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

    // Export, then import onto another player: a file in lower case, missing or
    // with a nation code of no nation (record byte 32, file byte 91) is refused, a cancelled dialog
    // does nothing, and the exported file makes the player a copy.
    void exportThenImportOntoAnotherPlayer() {
        Env env;
        constexpr std::uint32_t kOther = 40;
        auto window = env.open(kId);
        test::click(window.get(), "Export player data to file");
        const auto file = env.dir / "player0012.dat";
        QCOMPARE(test::readFile(file).size(), kPlayerFileSize);
        Bytes lower(kPlayerFileSize, 0);  // (every way a file is refused: the player file's tests)
        std::ranges::copy(std::string("playerdata"), lower.begin());
        test::writeFile(env.dir / "lower.dat", lower);
        Bytes nation = test::readFile(file);
        nation[59 + 32] = 0xFF;
        test::writeFile(env.dir / "nation.dat", nation);
        window = env.open(kOther);
        env.ui.messages.clear();
        for (const char* name : {"lower.dat", "missing.dat", "", "nation.dat", "player0012.dat"}) {
            env.ui.replies.push_back(*name ? gui::toQString(env.dir / name) : QString());
            test::click(window.get(), "Load player data from file");
            const bool refused = env.ui.messages.empty() || env.ui.messages.back().kind != MessageKind::Information;
            QVERIFY2(*name == 'p' || (refused && env.unchanged()), name);
        }
        QVERIFY(env.ui.messages.size() == 4u && env.ui.messages.front().text == "unknown format!");
        QVERIFY(env.ui.messages[2].text.find("nation.dat: nation = 255 (") != std::string::npos);
        QCOMPARE(env.ui.lastText(), "data of player load OK.");
        QVERIFY(std::ranges::equal(env.record(kOther), env.record(kId)));
        const Bytes name = readPlayerName(env.blocks(), PlayerName::Full, kId);
        const std::uint16_t call = readCallNumber(env.blocks(), kId);
        QVERIFY(readPlayerName(env.blocks(), PlayerName::Full, kOther) == name &&
                readCallNumber(env.blocks(), kOther) == call && env.callCopy(kOther) == call);
        QCOMPARE(child<QLineEdit>(window.get(), "full name")->text(), QString::fromStdString(decodeShiftJis(name)));
    }

    // "Do" makes the very change of the core's bulk change (its arithmetic: the core's tests) with
    // the ability and the method's own field chosen in the window.
    void doChangesTheChosenAbilityOfEveryPlayer() {
        const struct {
            int property;
            bool percent;
            int amount, percentage;
        } cases[] = {{4, false, 10, 50}, {24, true, -99, 33}};  // the other field is not used
        for (const auto& c : cases) {
            test::LoadedSample sample, expected;
            Player player;
            universalEdit(expected.blocks(), player, c.property,
                          c.percent ? UniversalMethod::Percent : UniversalMethod::Add,
                          c.percent ? c.percentage : c.amount);
            gui::UniversalEditWindow window(sample.context);
            window.show();
            auto* amount = child<QSpinBox>(&window, "amount");
            auto* percentage = child<QSpinBox>(&window, "percentage");
            test::pick(child<QComboBox>(&window, "property"), c.property);
            test::stepTo(amount, c.amount);  // "+" is checked at first
            QTest::mouseClick(child<QRadioButton>(&window, "%"), Qt::LeftButton);
            test::stepTo(percentage, c.percentage);
            QTest::mouseClick(child<QRadioButton>(&window, c.percent ? "%" : "+"), Qt::LeftButton);
            QVERIFY(amount->isEnabled() != c.percent && percentage->isEnabled() == c.percent);  // its own field
            test::click(&window, "Do");
            QVERIFY(sample.ui.lastText() == "universal edit done!" && !window.isVisible());
            QVERIFY(std::ranges::equal(sample.store.parameter(), expected.store.parameter()) &&
                    std::ranges::equal(sample.store.boot(), expected.store.boot()));
        }
    }

    // Ctrl+Z in a number field right after a change takes back that change of the data, a run of
    // arrow presses or a typed number as one step, and Ctrl+Shift+Z makes it again. After a
    // universal edit Ctrl+Z in the editor takes it back whole; the pages show the values as they are.
    void undoInNumberFieldsAndAfterUniversalEdit() {
        Env env;
        auto window = env.open(kId);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* height = child<QSpinBox>(window.get(), "height");
        const int shown = height->value();
        height->setFocus();
        QTest::keyClick(height, Qt::Key_Up);
        QTest::keyClick(height, Qt::Key_Up);
        QTest::keyClick(height, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(height->value() == shown && env.unchanged());
        QTest::keyClick(height, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(height->value() == shown + 2 &&
                env.read(kId, PlayerFieldId::Height) == static_cast<std::uint32_t>(shown + 2));
        env.snapshot();
        QTest::keyClick(height, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(height, "190");
        QVERIFY(!env.unchanged());
        QTest::keyClick(height, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(height->value() == shown + 2 && env.unchanged());

        auto* stamina = child<QComboBox>(window.get(), "stamina");
        const int before = stamina->currentIndex();
        gui::UniversalEditWindow edit(env.context);
        edit.show();
        test::pick(child<QComboBox>(&edit, "property"), 3);  // stamina
        test::stepTo(child<QSpinBox>(&edit, "amount"), -5);
        test::click(&edit, "Do");
        QVERIFY(!env.unchanged() && stamina->currentIndex() == entryOfStored(PlayerFieldId::Stamina, env.player));
        QVERIFY(stamina->currentIndex() != before);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(env.unchanged() && stamina->currentIndex() == before);
    }

    void closingWithoutDoChangesNothing() {
        test::LoadedSample sample;
        for (const bool escape : {true, false}) {
            gui::UniversalEditWindow window(sample.context);
            window.show();
            test::stepTo(child<QSpinBox>(&window, "amount"), 50);
            QTest::mouseClick(child<QRadioButton>(&window, "%"), Qt::LeftButton);
            escape ? QTest::keyClick(&window, Qt::Key_Escape) : void(window.close());
            QVERIFY(!window.isVisible());
        }
        QVERIFY(sample.unchanged() && sample.ui.messages.empty());
    }

    void initTestCase() {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        m_recorder = QStandardPaths::findExecutable(QStringLiteral("parec"));
        if (server.isEmpty() || m_recorder.isEmpty()) {
            m_skip = "pulseaudio and parec are not installed (Debian: pulseaudio, pulseaudio-utils)";
            return;
        }
        // Everything of the server (socket, state, its home) stays in the test's own folder; no
        // session bus is needed, and as root it runs too (with a warning).
        const QString dir = m_dir.path();
        const QString socket = dir + QStringLiteral("/native");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"XDG_RUNTIME_DIR", "PULSE_RUNTIME_PATH", "HOME"}) env.insert(name, dir);
        m_server.setProcessEnvironment(env);
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(server, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                                QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disable-shm=yes"),
                                QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket,
                                QStringLiteral("--load=module-null-sink sink_name=tarvo_test format=s16le "
                                               "channels=1 rate=") +
                                    QString::number(kRate)});
        for (int i = 0; i < 100 && !QFile::exists(socket) && m_server.state() != QProcess::NotRunning; ++i)
            QTest::qWait(50);
        if (!QFile::exists(socket)) {
            m_skip = "the sound server did not start: " + m_server.readAll().toStdString();
            return;
        }
        // Every sound client of this process (the player's audio output) talks to this server.
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
    }
    void cleanupTestCase() {
        if (m_server.state() == QProcess::NotRunning) return;
        m_server.terminate();
        m_server.waitForFinished(3000);
    }

    // Each button's clip comes out of the sound device as decoded, and a press while a clip plays
    // stops it: Listen1's start is heard, then Listen2 whole, before Listen1 could have ended and
    // with nothing of it mixed in, then Listen1 whole.
    void listenButtonsAreHeardAndANewPressReplacesTheClip() {
        if (!m_skip.empty()) TARVO_QSKIP(m_skip);
        test::LoadedSample sample(SourceMode::CdImage);
        const auto clip1 = samplesOf(readVoiceClip(sample.store.archive(), 1, kCall));
        const auto clip2 = samplesOf(readVoiceClip(sample.store.archive(), 2, kCall));
        QVERIFY(clip1.size() > std::size_t{kRate} / 2 && !clip2.empty());
        auto window = openOnCall(sample);
        startRecording();
        click(window.get(), "Listen1", kRate / 4);
        click(window.get(), "Listen2", clip2.size() + kRate / 2);
        click(window.get(), "Listen1", clip1.size() + kRate / 2);
        const auto recording = stopRecording();
        const Found second = findClip(recording, clip2, 0, recording.size());
        QVERIFY2(second.db >= kMinDb, qPrintable(dbText("Listen2", second.db)));
        const Found start = findClip(recording, std::span(clip1).first(kRate / 10), 0, second.at);
        QVERIFY2(start.db >= kMinDb, qPrintable(dbText("the start of Listen1", start.db)));
        QVERIFY2(start.at + clip1.size() > second.at, "the first clip was heard to its end");
        const Found last = findClip(recording, clip1, second.at + clip2.size(), recording.size());
        QVERIFY2(last.db >= kMinDb, qPrintable(dbText("Listen1", last.db)));
    }

    // "Save WAV..." writes Listen1's clip: a 44-byte RIFF header giving the ADX entry's channels,
    // rate and sample count (big-endian at 7, 8 and 12 of the entry), then the samples.
    void saveWavWritesListen1sClip() {
        test::LoadedSample sample(SourceMode::CdImage);
        AfsArchive& archive = sample.store.archive();
        Bytes adx(archive.GetSize(kCall));
        QVERIFY(adx.size() >= 36 && archive.ReadEntry(adx, kCall));
        const auto bigEndian = [&adx](std::size_t at) {
            return std::uint32_t(adx[at] << 24 | adx[at + 1] << 16 | adx[at + 2] << 8 | adx[at + 3]);
        };
        const std::uint32_t channels = adx[7], rate = bigEndian(8), data = bigEndian(12) * channels * 2;
        Bytes header;
        const auto add = [&header](std::string_view text) { header.insert(header.end(), text.begin(), text.end()); };
        const auto le = [&header](std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) header.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        };
        add("RIFF"), le(data + 36, 4), add("WAVE"), add("fmt "), le(16, 4), le(1, 2), le(channels, 2), le(rate, 4);
        le(rate * channels * 2, 4), le(channels * 2, 2), le(16, 2), add("data"), le(data, 4);

        auto window = openOnCall(sample);
        const auto file = sample.dir / "call.wav";
        sample.ui.replies.push_back(gui::toQString(file));
        test::click(window.get(), "Save WAV...");
        QCOMPARE(sample.ui.lastText(), "OK, voice saved as \n" + file.string());
        const Bytes saved = test::readFile(file);
        QCOMPARE(saved.size(), std::size_t{44} + data);
        QVERIFY(std::equal(header.begin(), header.end(), saved.begin()));
        QVERIFY(saved == readVoiceClip(archive, 1, kCall));
    }

private:
    std::unique_ptr<gui::PlayerEditorWindow> openOnCall(test::LoadedSample& sample) {
        writeCallNumber(sample.blocks(), 12, kCall);
        auto window = std::make_unique<gui::PlayerEditorWindow>(sample.context, 12);
        window->show();
        return window;
    }
    // Presses the button, then lets `samples` sample times of sound go by.
    static void click(QWidget* window, const char* button, std::size_t samples) {
        test::click(window, button);
        QTest::qWait(static_cast<int>(samples * 1000 / kRate));
    }
    // The recorder asks for short fragments: with its default (seconds of sound held back) the
    // end of a recording is lost when it is stopped.
    void startRecording() {
        const QString file = m_dir.filePath(QStringLiteral("recording.raw"));
        m_recording.setStandardOutputFile(file);
        m_recording.start(m_recorder,
                          {QStringLiteral("--device=tarvo_test.monitor"), QStringLiteral("--latency-msec=20"),
                           QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                           QStringLiteral("--rate=") + QString::number(kRate)});
        QVERIFY(m_recording.waitForStarted());
        // The monitor sends silence while nothing plays: once 100 ms of it arrived, it records.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() >= 2 * kRate / 10, 5000);
    }
    std::vector<std::int16_t> stopRecording() {
        m_recording.terminate();
        m_recording.waitForFinished(3000);
        const Bytes raw = test::readFile(m_dir.filePath(QStringLiteral("recording.raw")).toStdString());
        std::vector<std::int16_t> out(raw.size() / 2);
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<std::int16_t>(*readU16LE(raw, 2 * i));
        return out;
    }

    QTemporaryDir m_dir;
    QProcess m_server, m_recording;
    QString m_recorder;
    std::string m_skip;
};

QTEST_MAIN(PlayerEditorTest)
#include "player_editor_gui_test.moc"
