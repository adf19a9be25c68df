// Japanese names are drawn, not shown as empty boxes: every character of every team and player name
// on the sample disc is in the font of each control that shows names, on this machine. A system
// without a Japanese outline font fails here.

#include "records/player.h"
#include "records/team.h"
#include "store/block_map.h"
#include "support/loaded_sample_qt.h"
#include "team/ui/team_window.h"
#include "text/sjis.h"
#include "text/ui/picker_window.h"

using namespace tarvo;
using tarvo::test::child;

class JapaneseTextTest : public QObject {
    Q_OBJECT
private slots:
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
};

QTEST_MAIN(JapaneseTextTest)
#include "japanese_text_gui_test.moc"
