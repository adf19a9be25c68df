// "Change the properties of all players" on the sample disc: the method rule, "Do" on the chosen
// ability of every player by either method, and closing without "Do".

#include "player/ui/universal_edit_window.h"
#include "support/loaded_sample_qt.h"

using namespace tarvo;
using tarvo::test::child;

namespace {

// Every player's values of one field.
std::vector<std::uint32_t> column(test::LoadedSample& sample, PF field) {
    std::vector<std::uint32_t> values;
    Player p;
    for (std::uint32_t id = 1; id <= 2197; ++id) values.push_back((p.load(sample.blocks(), id), p.read(field)));
    return values;
}

}  // namespace

class UniversalEditTest : public QObject {
    Q_OBJECT
private slots:
    void doChangesTheChosenAbilityOfEveryPlayer() {
        const struct {
            int property;
            PF field;
            bool percent;
            int amount, percentage;
        } cases[] = {{4, PF::Speed, false, 10, 50}, {24, PF::Teamwork, true, -99, 33}};  // the other field is not used
        for (const auto& c : cases) {
            test::LoadedSample sample;
            const auto before = column(sample, c.field), offense = column(sample, PF::Offense);
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
            std::vector<std::uint32_t> expected;
            for (const std::int64_t v : before)
                expected.push_back(static_cast<std::uint32_t>(
                    std::clamp<std::int64_t>(c.percent ? v * c.percentage / 100 : v + c.amount, 1, 99)));
            QVERIFY(column(sample, c.field) == expected && column(sample, PF::Offense) == offense);
        }
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
};

QTEST_MAIN(UniversalEditTest)
#include "universal_edit_gui_test.moc"
