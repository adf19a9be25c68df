// "Change the properties of all players" on the sample disc: its initial state, the method rule,
// the number fields that only their spin buttons change, "Do" on the chosen ability of every
// player, and closing without "Do".

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include <array>
#include <vector>

#include "player/universal_edit.h"
#include "player/universal_edit_window.h"
#include "support/loaded_sample_qt.h"

using namespace tarvo;
using tarvo::gui::UniversalEditWindow;

namespace {

constexpr std::uint32_t kPlayers = 2197;

struct Env : test::LoadedSample {
    Env() {
        if (!loaded) qFatal("the sample disc did not load");
    }
    // Every player's values of one field.
    std::vector<std::uint32_t> column(PF field) {
        std::vector<std::uint32_t> values;
        Player p;
        for (std::uint32_t id = 1; id <= kPlayers; ++id) {
            p.load(store.blocks(), id);
            values.push_back(p.read(field));
        }
        return values;
    }
};

template <typename T>
T* child(QWidget* parent, const char* name) {
    T* widget = parent->findChild<T*>(QString::fromUtf8(name));
    if (!widget) qFatal("no control \"%s\"", name);
    return widget;
}

}  // namespace

class UniversalEditTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithOffensePlusAndZero() {
        Env env;
        UniversalEditWindow window(env.context);
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Change the properties of all players"));
        auto* property = child<QComboBox>(&window, "property");
        QCOMPARE(property->count(), 25);
        QCOMPARE(property->currentText(), QStringLiteral("offense"));
        QCOMPARE(property->itemText(24), QStringLiteral("teamwork"));
        QVERIFY(child<QRadioButton>(&window, "+")->isChecked());
        auto* amount = child<QSpinBox>(&window, "amount");
        auto* percentage = child<QSpinBox>(&window, "percentage");
        QCOMPARE(amount->value(), 0);
        QCOMPARE(amount->minimum(), -99);
        QCOMPARE(amount->maximum(), 99);
        QCOMPARE(percentage->value(), 100);
        QCOMPARE(percentage->minimum(), 1);
        QCOMPARE(percentage->maximum(), 200);
        QVERIFY(amount->isEnabled());
        QVERIFY(!percentage->isEnabled());
        QVERIFY(child<QPushButton>(&window, "Do")->isDefault());
        QCOMPARE(window.font().pointSize(), 10);
    }

    void methodRuleAndSpinOnlyFields() {
        Env env;
        UniversalEditWindow window(env.context);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* amount = child<QSpinBox>(&window, "amount");
        auto* percentage = child<QSpinBox>(&window, "percentage");
        QTest::mouseClick(child<QRadioButton>(&window, "%"), Qt::LeftButton);
        QVERIFY(!amount->isEnabled());
        QVERIFY(percentage->isEnabled());
        QTest::mouseClick(child<QRadioButton>(&window, "+"), Qt::LeftButton);
        QVERIFY(amount->isEnabled());
        QVERIFY(!percentage->isEnabled());

        // Typing does not change the amount; the spin buttons (here the arrow keys) do.
        amount->setFocus();
        QTest::keyClicks(amount, "55");
        QCOMPARE(amount->value(), 0);
        QTest::keyClick(amount, Qt::Key_Up);
        QCOMPARE(amount->value(), 1);
        amount->setValue(-150);
        QCOMPARE(amount->value(), -99);
    }

    void doAddsToTheChosenAbilityOfEveryPlayer() {
        Env env;
        const auto speed = env.column(PF::Speed);
        const auto offense = env.column(PF::Offense);
        UniversalEditWindow window(env.context);
        window.show();
        child<QComboBox>(&window, "property")->setCurrentIndex(4);  // "speed"
        child<QSpinBox>(&window, "amount")->setValue(10);
        child<QSpinBox>(&window, "percentage")->setValue(50);  // not the chosen method
        QTest::mouseClick(child<QPushButton>(&window, "Do"), Qt::LeftButton);

        QCOMPARE(env.ui.texts(), std::vector<std::string>{"universal edit done!"});
        QCOMPARE(env.ui.messages.back().kind, MessageKind::Information);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        const auto after = env.column(PF::Speed);
        for (std::uint32_t i = 0; i < kPlayers; ++i) {
            const auto expected = std::clamp<std::int64_t>(std::int64_t{speed[i]} + 10, 1, 99);
            QVERIFY2(after[i] == static_cast<std::uint32_t>(expected), qPrintable(QString("player %1").arg(i + 1)));
        }
        QVERIFY(env.column(PF::Offense) == offense);
        QCOMPARE(env.player.id(), kPlayers);
    }

    void doScalesByThePercentage() {
        Env env;
        const auto teamwork = env.column(PF::Teamwork);
        UniversalEditWindow window(env.context);
        window.show();
        child<QComboBox>(&window, "property")->setCurrentIndex(24);  // "teamwork"
        QTest::mouseClick(child<QRadioButton>(&window, "%"), Qt::LeftButton);
        child<QSpinBox>(&window, "amount")->setValue(-99);  // not the chosen method
        child<QSpinBox>(&window, "percentage")->setValue(33);
        QTest::mouseClick(child<QPushButton>(&window, "Do"), Qt::LeftButton);
        const auto after = env.column(PF::Teamwork);
        for (std::uint32_t i = 0; i < kPlayers; ++i) {
            const auto expected = std::clamp<std::int64_t>(std::int64_t{teamwork[i]} * 33 / 100, 1, 99);
            QVERIFY2(after[i] == static_cast<std::uint32_t>(expected), qPrintable(QString("player %1").arg(i + 1)));
        }
    }

    void closingWithoutDoChangesNothing() {
        Env env;
        {
            UniversalEditWindow window(env.context);
            window.show();
            child<QSpinBox>(&window, "amount")->setValue(50);
            QTest::keyClick(&window, Qt::Key_Escape);
            QVERIFY(!window.isVisible());
        }
        {
            UniversalEditWindow window(env.context);
            window.show();
            QTest::mouseClick(child<QRadioButton>(&window, "%"), Qt::LeftButton);
            window.close();
        }
        QVERIFY(env.unchanged());
        QVERIFY(env.ui.messages.empty());
    }
};

QTEST_MAIN(UniversalEditTest)
#include "universal_edit_gui_test.moc"
