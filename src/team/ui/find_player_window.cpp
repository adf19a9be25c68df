#include "team/ui/find_player_window.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "store/team_table.h"
#include "team/player_search.h"
#include "ui/controls_qt.h"
#include "ui/dialog_units_qt.h"

namespace tarvo::gui {

namespace {
constexpr int kIdRole = Qt::UserRole, kRowRole = Qt::UserRole + 1, kSlotRole = Qt::UserRole + 2;
}  // namespace

FindPlayerWindow::FindPlayerWindow(AppContext& context, QWidget* parent) : QDialog(parent), m_context(context) {
    setWindowTitle(QStringLiteral("Find player"));
    setFont(dialogFont(8));
    const DialogUnits du(font());
    resize(du.size(260, 160));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("findText"));
    m_text->setPlaceholderText(QStringLiteral("part of a name, or an ID"));
    useJapaneseFont(m_text);
    m_matches = new QListWidget(this);
    m_matches->setObjectName(QStringLiteral("matches"));
    useJapaneseFont(m_matches);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_matches);

    connect(m_text, &QLineEdit::textChanged, this, &FindPlayerWindow::search);
    connect(m_text, &QLineEdit::returnPressed, this, &FindPlayerWindow::pickCurrent);
    connect(m_matches, &QListWidget::itemActivated, this, &FindPlayerWindow::pickCurrent);
}

void FindPlayerWindow::search(const QString& text) {
    m_matches->clear();
    for (const PlayerMatch& m : findPlayers(m_context.store.blocks(), text.trimmed().toStdString())) {
        QStringList places;
        for (const SquadPlace& p : m.places)
            places << QStringLiteral("%1 slot %2").arg(latin1(TeamTable[p.row].label)).arg(p.slot + 1);
        auto* item =
            new QListWidgetItem(QStringLiteral("%1  %2  %3  %4")
                                    .arg(m.id)
                                    .arg(QString::fromStdString(m.fullName), QString::fromStdString(m.backName),
                                         places.isEmpty() ? QStringLiteral("(no team)") : places.join(", ")),
                                m_matches);
        item->setData(kIdRole, m.id);
        item->setData(kRowRole, m.places.empty() ? -1 : m.places.front().row);
        item->setData(kSlotRole, m.places.empty() ? -1 : m.places.front().slot);
    }
    if (m_matches->count() > 0) m_matches->setCurrentRow(0);
}

void FindPlayerWindow::refresh() { search(m_text->text()); }

void FindPlayerWindow::pickCurrent() {
    const QListWidgetItem* item = m_matches->currentItem();
    if (!item) return;
    emit picked(item->data(kIdRole).toUInt(), item->data(kRowRole).toInt(), item->data(kSlotRole).toInt());
}

}  // namespace tarvo::gui
