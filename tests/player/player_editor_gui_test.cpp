// The player editor and its three pages on the sample disc: page switching and focus, what each
// kind of control shows for stored values, what a user's change stores (in both copies), that
// showing and closing writes nothing, the player file buttons and the voice call controls.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <memory>

#include "player/abilities_page.h"
#include "player/looks_page.h"
#include "player/player_editor_window.h"
#include "player/player_file.h"
#include "records/player_tables.h"
#include "store/block_map.h"
#include "support/loaded_sample_qt.h"
#include "support/test_blocks.h"
#include "text/sjis.h"

using namespace tarvo;
using tarvo::gui::PlayerEditorWindow;

namespace {

// The sample disc loaded, with helpers to reach one player's data.
struct Env : test::LoadedSample {
    explicit Env(SourceMode mode = SourceMode::ExportedFiles) : LoadedSample(mode) {
        if (!loaded) qFatal("the sample disc did not load");
    }
    GameBlocks blocks() { return store.blocks(); }
    // Stores a field's raw bits for a player, as loaded data may hold them.
    void storeRaw(std::uint32_t id, PF field, std::uint32_t raw) {
        player.load(blocks(), id);
        player.write(field, raw + fieldOf(field).offset);
    }
    ByteSpan record(std::uint32_t id) {
        return store.parameter().subspan(blockmap::kRecordOffset + (id - 1) * blockmap::kRecordSize,
                                         blockmap::kRecordSize);
    }
    ByteSpan mirror(std::uint32_t id) {
        return store.boot().subspan(blockmap::kRecordCopyOffset + (id - 1) * blockmap::kRecordSize,
                                    blockmap::kRecordSize);
    }
    std::uint16_t callCopy(std::uint32_t id) {
        const auto at = blockmap::kCallNumberCopyOffset + (id - 1) * 2;
        return static_cast<std::uint16_t>(store.select()[at] | (store.select()[at + 1] << 8));
    }
    std::unique_ptr<PlayerEditorWindow> open(std::uint32_t id) {
        auto window = std::make_unique<PlayerEditorWindow>(context, id);
        window->show();
        return window;
    }
};

template <typename T>
T* child(QWidget* parent, const char* name) {
    T* widget = parent->findChild<T*>(QString::fromUtf8(name));
    if (!widget) qFatal("no control \"%s\"", name);
    return widget;
}

// What a user's pick in a drop-down list does: the list changes, then reports the activation.
void pick(QComboBox* list, int entry) {
    list->setCurrentIndex(entry);
    emit list->activated(entry);
}

QString fullName(Env& env, std::uint32_t id) {
    return QString::fromStdString(decodeShiftJis(readPlayerName(env.blocks(), PlayerName::Full, id)));
}

bool copiesEqual(Env& env, std::uint32_t id) { return std::ranges::equal(env.record(id), env.mirror(id)); }

constexpr std::uint32_t kId = 12;
constexpr std::uint32_t kNoCallPlayer = 173;  // the sample gives every 173rd player no call

}  // namespace

class PlayerEditorTest : public QObject {
    Q_OBJECT

private slots:
    void opensOnLooksAndSwitchesPagesByMouseAndKeyboard() {
        Env env;
        auto window = env.open(kId);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTabWidget* tabs = window->tabs();
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Looks"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Abilities"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Special Abilities"));
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(window->looksPage()->isVisible());
        QVERIFY(!window->abilitiesPage()->isVisible());
        QVERIFY(!window->specialAbilitiesPage()->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Tarvo_Riviza_Editor"));

        // A click on "Abilities" shows that page and moves the focus into it.
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(window->abilitiesPage()->isVisible());
        QVERIFY(!window->looksPage()->isVisible());
        QVERIFY(window->abilitiesPage()->isAncestorOf(QApplication::focusWidget()));
        // Clicking the selected tab again changes nothing.
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(tabs->currentIndex(), 1);

        // From the keyboard: the arrow keys on the tab bar move through the pages, keeping the focus.
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(tabs->currentIndex(), 2);
        QVERIFY(window->specialAbilitiesPage()->isVisible());
        QVERIFY(bar->hasFocus());
        QTest::keyClick(bar, Qt::Key_Left);
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(bar->hasFocus());
        QTest::keyClick(bar, Qt::Key_Left);
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(window->looksPage()->isVisible());
    }

    void showingAndClosingWritesNothingEvenForOddStoredValues() {
        Env env;
        // Values the pages cannot show as they are: each must survive being shown.
        env.storeRaw(kId, PF::Height, 60);      // 208 cm, above the field's 205
        env.storeRaw(kId, PF::Weight, 10);      // below 40
        env.storeRaw(kId, PF::Skin, 2);
        env.storeRaw(kId, PF::Face, 119);       // face 120 beyond skin 2's bound 32
        env.storeRaw(kId, PF::Nation, 60);      // no nation has code 60
        env.storeRaw(kId, PF::Offense, 0);
        env.storeRaw(kId, PF::Speed, 120);
        env.storeRaw(kId, PF::Injury, 3);
        env.storeRaw(kId, PF::HairType, 110);
        writeCallNumber(env.blocks(), kId, 20000);  // outside the offered call numbers
        env.snapshot();

        for (std::uint32_t id : {kId, kNoCallPlayer, std::uint32_t{1}, std::uint32_t{2197}}) {
            auto window = env.open(id);
            for (int page : {1, 2, 0}) window->tabs()->setCurrentIndex(page);
            QTest::keyClick(window.get(), Qt::Key_Escape);
            QVERIFY(!window->isVisible());
        }
        QVERIFY2(env.unchanged(), "showing a player changed the game data");

        // And the page shows them as the nearest number in range, or no selection.
        auto window = env.open(kId);
        QWidget* looks = window->looksPage();
        QCOMPARE(child<QSpinBox>(looks, "height")->value(), 205);
        QCOMPARE(child<QSpinBox>(looks, "weight")->value(), 40);
        QCOMPARE(child<QSpinBox>(looks, "face")->value(), 32);
        QCOMPARE(child<QSpinBox>(looks, "face")->maximum(), 32);
        QCOMPARE(child<QComboBox>(looks, "nation")->currentIndex(), -1);
        QCOMPARE(child<QComboBox>(looks, "hair type")->currentIndex(), -1);
        QCOMPARE(child<QSpinBox>(looks, "call name")->value(), 20000);
        QCOMPARE(child<QComboBox>(window->abilitiesPage(), "offense")->currentIndex(), -1);
        QCOMPARE(child<QComboBox>(window->abilitiesPage(), "speed")->currentIndex(), -1);
        QCOMPARE(child<QComboBox>(window->specialAbilitiesPage(), "injury")->currentIndex(), -1);
        QVERIFY(env.unchanged());
    }

    void listsShowTheStoredEntryAndStoreTheUsersPick() {
        Env env;
        env.storeRaw(kId, PF::Offense, 75);
        env.storeRaw(kId, PF::Position2, 11);
        env.storeRaw(kId, PF::Nation, 240);
        env.storeRaw(kId, PF::EyeIris, 9);
        auto window = env.open(kId);
        QWidget* looks = window->looksPage();
        QWidget* abilities = window->abilitiesPage();
        QCOMPARE(child<QComboBox>(abilities, "offense")->currentIndex(), 74);
        QCOMPARE(child<QComboBox>(looks, "position2")->currentText(), QStringLiteral("None"));
        QCOMPARE(child<QComboBox>(looks, "nation")->currentText(), QStringLiteral("81.FREE"));
        QCOMPARE(child<QComboBox>(looks, "eye iris")->currentText(), QStringLiteral("blue 2"));

        pick(child<QComboBox>(abilities, "offense"), 98);
        QCOMPARE(env.player.read(PF::Offense), 99u);
        QCOMPARE(env.record(kId)[15] >> 1, 99);
        QVERIFY(copiesEqual(env, kId));

        pick(child<QComboBox>(looks, "nation"), 56);  // "57.Iceland"
        QCOMPARE(env.player.read(PF::Nation), 105u);
        pick(child<QComboBox>(looks, "position1"), 5);
        QCOMPARE(env.record(kId)[16] & 0x0F, 5);
        QVERIFY(copiesEqual(env, kId));

        // The keyboard reaches the same handler: Down on a closed list picks the next entry.
        QComboBox* build = child<QComboBox>(looks, "build");
        pick(build, 0);
        window->activateWindow();
        build->setFocus();
        QTest::keyClick(build, Qt::Key_Down);
        QCOMPARE(env.player.read(PF::Build), 1u);
    }

    void specialAbilitiesStoreOnlyTheClickedBit() {
        Env env;
        env.storeRaw(kId, PF::Feints, 0);
        env.storeRaw(kId, PF::Injury, 0);
        auto window = env.open(kId);
        window->tabs()->setCurrentIndex(2);
        QWidget* page = window->specialAbilitiesPage();
        const Bytes before(env.record(kId).begin(), env.record(kId).end());

        QCheckBox* feints = child<QCheckBox>(page, "feints");
        QVERIFY(!feints->isChecked());
        QTest::mouseClick(feints, Qt::LeftButton);
        QVERIFY(feints->isChecked());
        Bytes expected = before;
        expected[35] |= 0x04;
        QVERIFY2(std::ranges::equal(env.record(kId), expected), test::hexOf(env.record(kId)).c_str());
        QVERIFY(copiesEqual(env, kId));

        pick(child<QComboBox>(page, "injury"), 2);  // "A"
        QCOMPARE(env.player.read(PF::Injury), 2u);
        QTest::mouseClick(feints, Qt::LeftButton);
        QCOMPARE(env.player.read(PF::Feints), 0u);
    }

    void faceRangeFollowsTheSkin() {
        Env env;
        env.storeRaw(kId, PF::Skin, 2);
        env.storeRaw(kId, PF::Face, 119);  // face 120
        auto window = env.open(kId);
        QWidget* looks = window->looksPage();
        QSpinBox* face = child<QSpinBox>(looks, "face");
        QCOMPARE(face->maximum(), 32);
        QCOMPARE(face->value(), 32);

        pick(child<QComboBox>(looks, "skin"), 0);
        QCOMPARE(face->maximum(), 125);
        QCOMPARE(face->value(), 120);  // the stored face fits the wider range
        QCOMPARE(env.player.read(PF::Face), 120u);

        pick(child<QComboBox>(looks, "skin"), 3);
        QCOMPARE(face->maximum(), 26);
        QCOMPARE(env.player.read(PF::Face), 120u);  // a narrower range stores nothing
        face->setValue(20);  // the user's step
        QCOMPARE(env.player.read(PF::Face), 20u);
    }

    void hairAndBeardListsAreLinked() {
        Env env;
        env.storeRaw(kId, PF::HairColor, 10);
        env.storeRaw(kId, PF::BeardColor, 4);
        auto window = env.open(kId);
        QWidget* looks = window->looksPage();
        QComboBox* hairType = child<QComboBox>(looks, "hair type");
        QComboBox* hairColor = child<QComboBox>(looks, "hair color");
        QComboBox* beardType = child<QComboBox>(looks, "beard type");
        QComboBox* beardColor = child<QComboBox>(looks, "beardcolor");

        pick(hairType, kBaldEntry);
        QVERIFY(!hairColor->isEnabled());
        QCOMPARE(env.player.read(PF::HairColor), 63u);
        pick(hairType, 4);
        QVERIFY(hairColor->isEnabled());
        QCOMPARE(hairColor->currentText(), QStringLiteral("1"));
        QCOMPARE(env.player.read(PF::HairColor), 0u);
        QCOMPARE(env.player.read(PF::HairType), 4u);

        pick(beardType, kNoBeardEntry);
        QVERIFY(!beardColor->isEnabled());
        QCOMPARE(env.player.read(PF::BeardColor), 63u);
        pick(beardType, 0);
        QVERIFY(beardColor->isEnabled());
        QCOMPARE(beardColor->currentText(), QStringLiteral("as hair"));
        QCOMPARE(env.player.read(PF::BeardColor), 62u);
        QVERIFY(copiesEqual(env, kId));

        // A bald, beardless player opens with both colour lists disabled.
        window.reset();
        window = env.open(kId);
        pick(child<QComboBox>(window->looksPage(), "hair type"), kBaldEntry);
        pick(child<QComboBox>(window->looksPage(), "beard type"), kNoBeardEntry);
        window.reset();
        window = env.open(kId);
        QCOMPARE(child<QComboBox>(window->looksPage(), "hair type")->currentText(), QStringLiteral("bald"));
        QCOMPARE(child<QComboBox>(window->looksPage(), "beard type")->currentText(), QStringLiteral("NO"));
        QVERIFY(!child<QComboBox>(window->looksPage(), "hair color")->isEnabled());
        QVERIFY(!child<QComboBox>(window->looksPage(), "beardcolor")->isEnabled());
    }

    void noneTurnsTheCallOffAndOnInBothCopies() {
        Env env;
        auto window = env.open(kNoCallPlayer);
        QWidget* looks = window->looksPage();
        QCheckBox* none = child<QCheckBox>(looks, "None");
        QSpinBox* call = child<QSpinBox>(looks, "call name");
        QVERIFY(none->isChecked());
        QVERIFY(!call->isEnabled());
        QVERIFY(!child<QLineEdit>(looks, "voice entry")->isEnabled());
        QVERIFY(!child<QPushButton>(looks, "Listen1")->isEnabled());

        QTest::mouseClick(none, Qt::LeftButton);
        QVERIFY(call->isEnabled());
        QCOMPARE(call->value(), 11578);
        QCOMPARE(readCallNumber(env.blocks(), kNoCallPlayer), std::uint16_t{11578});
        QCOMPARE(env.callCopy(kNoCallPlayer), std::uint16_t{11578});
        QVERIFY(!child<QPushButton>(looks, "Listen1")->isEnabled());  // no voices in exported files

        call->setValue(12000);  // the user's step
        QCOMPARE(env.callCopy(kNoCallPlayer), std::uint16_t{12000});

        QTest::mouseClick(none, Qt::LeftButton);
        QCOMPARE(readCallNumber(env.blocks(), kNoCallPlayer), std::uint16_t{11085});
        QCOMPARE(env.callCopy(kNoCallPlayer), std::uint16_t{11085});
        QVERIFY(call->text().isEmpty());
        QVERIFY(child<QLineEdit>(looks, "voice entry")->text().isEmpty());
    }

    void numbersStoreOnlyWhatIsInRange() {
        Env env;
        env.storeRaw(kId, PF::Height, 30);  // 178
        auto window = env.open(kId);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QSpinBox* height = child<QSpinBox>(window->looksPage(), "height");
        env.snapshot();
        height->setFocus();
        height->selectAll();
        QTest::keyClicks(height, "300");
        QTest::keyClick(height, Qt::Key_Tab);
        QVERIFY2(env.unchanged(), "a height of 300 was stored");
        QCOMPARE(env.player.read(PF::Height), 178u);

        height->setFocus();
        height->selectAll();
        QTest::keyClicks(height, "190");
        QCOMPARE(env.player.read(PF::Height), 190u);
        QCOMPARE(env.record(kId)[3] >> 2, 42);
        QVERIFY(copiesEqual(env, kId));
    }

    void namesAreStoredOnlyWhenTheUserEditsThem() {
        Env env;
        auto window = env.open(kId);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QWidget* looks = window->looksPage();
        auto* full = child<QLineEdit>(looks, "full name");
        auto* back = child<QLineEdit>(looks, "back name");
        QCOMPARE(full->text(), fullName(env, kId));

        full->setFocus();
        full->selectAll();
        QTest::keyClicks(full, "Ann Smith");
        const Bytes expected{'A', 'n', 'n', ' ', 'S', 'm', 'i', 't', 'h'};
        QVERIFY(readPlayerName(env.blocks(), PlayerName::Full, kId) == expected);
        const auto copyAt = blockmap::kFullNameCopyOffset + (kId - 1) * blockmap::kFullNameSize;
        QVERIFY(std::ranges::equal(env.store.select().subspan(copyAt, expected.size() + 1),
                                   Bytes{'A', 'n', 'n', ' ', 'S', 'm', 'i', 't', 'h', 0}));

        back->setFocus();
        back->selectAll();
        QTest::keyClicks(back, "smith");
        QCOMPARE(back->text(), QStringLiteral("SMITH"));
        QVERIFY(readPlayerName(env.blocks(), PlayerName::Back, kId) == (Bytes{'S', 'M', 'I', 'T', 'H'}));

        // Past the limit of 15 bytes nothing more is taken.
        QTest::keyClicks(back, "ABCDEFGHIJKLMNOP");
        QCOMPARE(readPlayerName(env.blocks(), PlayerName::Back, kId).size(), std::size_t{15});

        // A character with no Shift-JIS code is refused with a word to the user.
        env.snapshot();
        full->setFocus();
        QTest::sendKeyEvent(QTest::Click, full, Qt::Key_unknown, QString::fromUtf8("\xF0\x9F\x98\x80"), Qt::NoModifier);
        QTRY_VERIFY(!env.ui.messages.empty());
        QCOMPARE(env.ui.messages.back().kind, MessageKind::Warning);
        QCOMPARE(full->text(), QStringLiteral("Ann Smith"));
        QVERIFY(env.unchanged());
    }

    void enterAndEscapeCloseTheWindowKeepingChanges() {
        Env env;
        auto window = env.open(kId);
        pick(child<QComboBox>(window->abilitiesPage(), "stamina"), 9);
        QTest::keyClick(window.get(), Qt::Key_Return);
        QVERIFY(!window->isVisible());
        QCOMPARE(window->result(), int(QDialog::Accepted));
        Player reread;
        reread.load(env.blocks(), kId);
        QCOMPARE(reread.read(PF::Stamina), 10u);

        window = env.open(kId);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());

        // Enter in a field of a page closes the window too, and presses no file button.
        window = env.open(kId);
        QTest::keyClick(child<QLineEdit>(window->looksPage(), "full name"), Qt::Key_Return);
        QVERIFY(!window->isVisible());
        QVERIFY(env.ui.messages.empty());
        QVERIFY(env.ui.openCalls.empty());
    }

    void exportThenImportOntoAnotherPlayer() {
        Env env;
        constexpr std::uint32_t kOther = 40;
        auto window = env.open(kId);
        QTest::mouseClick(child<QPushButton>(window.get(), "Export player data to file"), Qt::LeftButton);
        const auto file = env.dir.path() / "player0012.dat";
        QCOMPARE(test::readFile(file).size(), kPlayerFileSize);
        QCOMPARE(env.ui.messages.back().kind, MessageKind::Information);
        window.reset();

        const Bytes record12(env.record(kId).begin(), env.record(kId).end());
        const QString name12 = fullName(env, kId);
        window = env.open(kOther);
        env.ui.replies.push_back(QString::fromStdString(file.string()));
        QTest::mouseClick(child<QPushButton>(window.get(), "Load player data from file"), Qt::LeftButton);
        QCOMPARE(env.ui.openCalls.back().title, QStringLiteral("open player data file"));
        QCOMPARE(env.ui.openCalls.back().filters.front(), QStringLiteral("dat Files (*.dat)"));
        QCOMPARE(env.ui.openCalls.back().directory, QString::fromStdString(env.dir.path().string()));
        QCOMPARE(env.ui.texts().back(), std::string("data of player load OK."));

        QVERIFY(std::ranges::equal(env.record(kOther), record12));
        QVERIFY(copiesEqual(env, kOther));
        QCOMPARE(fullName(env, kOther), fullName(env, kId));
        QCOMPARE(readCallNumber(env.blocks(), kOther), readCallNumber(env.blocks(), kId));
        QCOMPARE(env.callCopy(kOther), readCallNumber(env.blocks(), kId));
        QCOMPARE(env.player.id(), kOther);
        // The pages show the imported player.
        QCOMPARE(child<QLineEdit>(window->looksPage(), "full name")->text(), fullName(env, kId));
        Player p12;
        p12.load(env.blocks(), kId);
        QCOMPARE(child<QComboBox>(window->abilitiesPage(), "offense")->currentIndex(),
                 static_cast<int>(p12.read(PF::Offense)) - 1);
        // Player 12 itself is untouched.
        QVERIFY(std::ranges::equal(env.record(kId), record12));
        QCOMPARE(fullName(env, kId), name12);
    }

    void malformedPlayerFilesAreRefused() {
        Env env;
        Bytes lower(kPlayerFileSize, 0);
        const std::string magic = "playerdata";
        std::copy(magic.begin(), magic.end(), lower.begin());
        test::writeFile(env.dir / "lower.dat", lower);
        Bytes shortFile(kPlayerFileSize - 1, 0);
        const std::string upper = "PLAYERDATA";
        std::copy(upper.begin(), upper.end(), shortFile.begin());
        test::writeFile(env.dir / "short.dat", shortFile);

        auto window = env.open(kId);
        env.snapshot();
        for (const char* name : {"lower.dat", "short.dat", "missing.dat"}) {
            env.ui.replies.push_back(QString::fromStdString((env.dir / name).string()));
            QTest::mouseClick(child<QPushButton>(window.get(), "Load player data from file"), Qt::LeftButton);
            QVERIFY2(env.ui.messages.back().kind != MessageKind::Information, name);
            QVERIFY2(env.unchanged(), name);
        }
        QCOMPARE(env.ui.texts().front(), std::string("unknown format!"));
        // Cancelling the dialog does nothing at all.
        const auto shown = env.ui.messages.size();
        QTest::mouseClick(child<QPushButton>(window.get(), "Load player data from file"), Qt::LeftButton);
        QCOMPARE(env.ui.messages.size(), shown);
    }

    void voiceControlsInTheImage() {
        Env env(SourceMode::CdImage);
        const std::uint16_t call = readCallNumber(env.blocks(), kId);
        QVERIFY(call >= kCallNumberMin && call <= kCallNumberMax);
        auto window = env.open(kId);
        QWidget* looks = window->looksPage();
        QCOMPARE(child<QLineEdit>(looks, "voice entry")->text(),
                 QStringLiteral("voice\\call%1.adx").arg(call, 5, 10, QChar('0')));
        auto* listen1 = child<QPushButton>(looks, "Listen1");
        auto* listen2 = child<QPushButton>(looks, "Listen2");
        QVERIFY(listen1->isEnabled() && listen2->isEnabled());
        // Without an audio device the buttons play nothing and say nothing.
        env.snapshot();
        QTest::mouseClick(listen1, Qt::LeftButton);
        QTest::mouseClick(listen2, Qt::LeftButton);
        QTest::mouseClick(listen1, Qt::LeftButton);
        QVERIFY(env.ui.messages.empty());
        QVERIFY(env.unchanged());

        // "Save WAV..." writes the clip of "Listen1".
        const auto wav = env.dir / "call.wav";
        env.ui.replies.push_back(QString::fromStdString(wav.string()));
        QTest::mouseClick(child<QPushButton>(looks, "Save WAV..."), Qt::LeftButton);
        const Bytes written = test::readFile(wav);
        QVERIFY(written.size() > 44);
        QCOMPARE(std::string(written.begin(), written.begin() + 4), std::string("RIFF"));
        QCOMPARE(env.ui.messages.back().kind, MessageKind::Information);
        env.ui.replies.push_back(QString::fromStdString((env.dir / "no such folder" / "call.wav").string()));
        QTest::mouseClick(child<QPushButton>(looks, "Save WAV..."), Qt::LeftButton);
        QCOMPARE(env.ui.messages.back().kind, MessageKind::FileError);

        // A stored call outside the offered numbers is kept and its entry named.
        writeCallNumber(env.blocks(), kId, 16000);
        window = env.open(kId);
        QCOMPARE(child<QSpinBox>(window->looksPage(), "call name")->value(), 16000);
        QCOMPARE(readCallNumber(env.blocks(), kId), std::uint16_t{16000});
        QVERIFY(child<QPushButton>(window->looksPage(), "Listen1")->isEnabled());
    }

    void exportedFilesHaveNoVoiceControls() {
        Env env;
        auto window = env.open(kId);
        QWidget* looks = window->looksPage();
        for (const char* name : {"Listen1", "Listen2", "Save WAV..."})
            QVERIFY2(!child<QPushButton>(looks, name)->isEnabled(), name);
        QVERIFY(child<QLineEdit>(looks, "voice entry")->text().isEmpty());
    }
};

QTEST_MAIN(PlayerEditorTest)
#include "player_editor_gui_test.moc"
