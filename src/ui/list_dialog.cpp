#include "ui/list_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "store/messages.h"
#include "ui/dialog_units_qt.h"

namespace tarvo::gui {

ListDialog::ListDialog(const QString& text, const QStringList& entries, Mode mode, const QString& okText,
                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kAppName));
    setFont(dialogFont(8));
    const DialogUnits du(font());
    resize(du.size(300, 180));
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("entries"));
    m_list->addItems(entries);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(okText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);

    if (mode == Mode::Choose) {
        connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { m_ok->setEnabled(row >= 0); });
        connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
        if (!entries.isEmpty()) m_list->setCurrentRow(0);
        m_ok->setEnabled(!entries.isEmpty());
    } else {
        m_list->setSelectionMode(QAbstractItemView::NoSelection);
        useJapaneseFont(m_list);  // the changes show names as they are
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int ListDialog::chosen() const { return m_list->currentRow(); }

}  // namespace tarvo::gui
