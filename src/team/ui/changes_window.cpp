#include "team/ui/changes_window.h"

#include <algorithm>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "ui/controls_qt.h"
#include "ui/dialog_units_qt.h"

namespace tarvo::gui {

namespace {
constexpr int kMembersRole = Qt::UserRole;  // the indices of the list that a row stands for
}  // namespace

ChangesWindow::ChangesWindow(AppContext& context, QWidget* parent) : QDialog(parent), m_context(context) {
    setWindowTitle(QStringLiteral("Changes"));
    setFont(dialogFont(8));
    const DialogUnits du(font());
    setFixedSize(du.size(320, 200));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("changeList"));
    m_list->setGeometry(du.rect(7, 7, 306, 164));
    m_list->setHeaderHidden(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformRowHeights(true);  // thousands of rows after a universal edit
    useJapaneseFont(m_list);
    m_empty =
        label(QStringLiteral("No changes since the data were loaded or last written."), du.rect(7, 7, 306, 10), this);
    m_empty->setObjectName(QStringLiteral("noChanges"));

    m_revert = pushButton(QStringLiteral("Revert"), du.rect(7, 179, 60, 14), this);
    m_revert->setObjectName(QStringLiteral("revert"));
    auto* close = pushButton(QStringLiteral("Close"), du.rect(253, 179, 60, 14), this);
    close->setObjectName(QStringLiteral("close"));

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &ChangesWindow::onSelectionChanged);
    connect(m_revert, &QPushButton::clicked, this, &ChangesWindow::onRevertClicked);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    showChanges();
}

void ChangesWindow::showChanges() {
    DataStore& store = m_context.store;
    m_changes = listChanges(store.writtenBlocks(), readOnly(store.blocks()));
    m_list->clear();
    const auto item = [](const QString& text, const std::vector<std::size_t>& members) {
        auto* row = new QTreeWidgetItem(QStringList{text});
        QList<QVariant> indices;
        for (const std::size_t i : members) indices << QVariant::fromValue(static_cast<qulonglong>(i));
        row->setData(0, kMembersRole, indices);
        return row;
    };
    QList<QTreeWidgetItem*> rows;
    for (const ChangeGroup& group : groupChanges(m_changes)) {
        QTreeWidgetItem* row = item(QString::fromStdString(group.title), group.members);
        if (group.members.size() > 1)
            for (const std::size_t i : group.members)
                row->addChild(item(QString::fromStdString(describeChange(m_changes[i])), {i}));
        rows << row;
    }
    m_list->addTopLevelItems(rows);
    m_list->setVisible(!m_changes.empty());
    m_empty->setVisible(m_changes.empty());
    onSelectionChanged();
}

void ChangesWindow::onSelectionChanged() { m_revert->setEnabled(!m_list->selectedItems().isEmpty()); }

void ChangesWindow::onRevertClicked() {
    std::vector<std::size_t> picked;
    for (const QTreeWidgetItem* row : m_list->selectedItems())
        for (const QVariant& index : row->data(0, kMembersRole).toList())
            picked.push_back(static_cast<std::size_t>(index.toULongLong()));
    std::sort(picked.begin(), picked.end());
    picked.erase(std::unique(picked.begin(), picked.end()), picked.end());
    std::vector<Change> reverted;
    for (const std::size_t i : picked) reverted.push_back(m_changes.at(i));
    if (reverted.empty()) return;
    m_context.document.act([&] { revertChanges(m_context.store.writtenBlocks(), m_context.store.blocks(), reverted); },
                           "revert " + describeFirstChange(reverted));
    showChanges();
}

}  // namespace tarvo::gui
