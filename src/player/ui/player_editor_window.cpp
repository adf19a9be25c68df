#include "player/ui/player_editor_window.h"

#include <utility>

#include <QKeyEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "player/player_file.h"
#include "player/ui/abilities_page.h"
#include "player/ui/looks_page.h"
#include "player/ui/special_abilities_page.h"
#include "store/file_io.h"
#include "ui/controls_qt.h"
#include "ui/dialog_units_qt.h"

namespace tarvo::gui {

PlayerEditorWindow::PlayerEditorWindow(AppContext& context, std::uint32_t id, QWidget* parent)
    : QDialog(parent), m_context(context), m_id(id) {
    setWindowTitle(QString::fromUtf8(kAppName));
    setFont(dialogFont());
    const DialogUnits units(font());
    setFixedSize(units.size(471, 370));

    m_context.player.load(m_context.store.blocks(), m_id);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pages"));
    m_tabs->setGeometry(units.rect(26, 18, 420, 312));
    m_looks = new LooksPage(m_context);
    m_abilities = new AbilitiesPage(m_context);
    m_special = new SpecialAbilitiesPage(m_context);
    m_tabs->addTab(m_looks, QStringLiteral("Looks"));
    m_tabs->addTab(m_abilities, QStringLiteral("Abilities"));
    m_tabs->addTab(m_special, QStringLiteral("Special Abilities"));
    m_tabs->setCurrentIndex(0);
    connect(m_tabs, &QTabWidget::tabBarClicked, this, &PlayerEditorWindow::onTabBarClicked);
    connect(m_tabs, &QTabWidget::currentChanged, this, &PlayerEditorWindow::onTabChanged);

    auto* exportButton = new QPushButton(QStringLiteral("Export player data to file"), this);
    exportButton->setGeometry(units.rect(79, 342, 134, 14));
    connect(exportButton, &QPushButton::clicked, this, &PlayerEditorWindow::onExportClicked);
    auto* loadButton = new QPushButton(QStringLiteral("Load player data from file"), this);
    loadButton->setGeometry(units.rect(255, 342, 134, 14));
    connect(loadButton, &QPushButton::clicked, this, &PlayerEditorWindow::onLoadClicked);
    for (auto* button : {exportButton, loadButton}) {
        button->setObjectName(button->text());
        button->setAutoDefault(true);  // Enter presses a focused button; elsewhere it closes the window
    }

    wheelOnlyWithFocus(this);
    addUndoKeys(this, m_context.document);
    // After an undo, a redo or an import the player is read again: its fields may all have changed.
    connect(&m_context.document, &Document::changed, this, [this](bool byControl) {
        if (byControl) return;
        m_context.player.load(m_context.store.blocks(), m_id);
        showPlayerOnAllPages();
    });
    showPlayerOnAllPages();
}

void PlayerEditorWindow::showPlayerOnAllPages() {
    m_looks->showPlayer(m_id);
    m_abilities->showPlayer(m_id);
    m_special->showPlayer(m_id);
}

void PlayerEditorWindow::onTabBarClicked(int index) { m_pageByMouse = index != m_tabs->currentIndex(); }

void PlayerEditorWindow::onTabChanged(int index) {
    // A page picked with the mouse takes the keyboard focus; one picked with the keyboard leaves
    // the focus where it is, so that the arrow keys go on moving through the tabs.
    const bool byMouse = std::exchange(m_pageByMouse, false);
    if (!byMouse) return;
    if (QWidget* page = m_tabs->widget(index)) page->setFocus(Qt::MouseFocusReason);
}

void PlayerEditorWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PlayerEditorWindow::onExportClicked() {
    exportPlayer(m_context.store.blocks(), m_id, m_context.programDirectory, m_context.ui);
}

void PlayerEditorWindow::onLoadClicked() {
    const QString file = m_context.ui.openFile(QStringLiteral("open player data file"), datFileFilters(),
                                               toQString(m_context.programDirectory));
    if (file.isEmpty()) return;
    m_context.document.act([&] { importPlayer(m_context.store.blocks(), m_id, toPath(file), m_context.ui); },
                           "import player file " + utf8Path(toPath(file).filename()));
}

}  // namespace tarvo::gui
