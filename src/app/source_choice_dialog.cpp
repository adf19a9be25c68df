#include "app/source_choice_dialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

#include "ui/app_context_qt.h"
#include "ui/dialog_units_qt.h"

namespace tarvo::gui {

SourceChoiceDialog::SourceChoiceDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Choose file to edit"));
    setFont(dialogFont(10));
    const DialogUnits du(font());
    setFixedSize(du.size(214, 124));

    m_next = new QPushButton(QStringLiteral("Next"), this);
    m_next->setGeometry(du.rect(72, 88, 50, 14));
    m_next->setObjectName(QStringLiteral("next"));
    m_next->setDefault(true);
    m_image = new QRadioButton(QStringLiteral("Open CD image"), this);
    m_image->setObjectName(QStringLiteral("image"));
    m_image->setGeometry(du.rect(54, 28, 104, 17));
    m_files = new QRadioButton(QStringLiteral("Open exported files"), this);
    m_files->setObjectName(QStringLiteral("files"));
    m_files->setGeometry(du.rect(54, 55, 104, 17));
    m_image->setChecked(true);
    setAcceptDrops(true);

    connect(m_next, &QPushButton::clicked, this, &SourceChoiceDialog::onNextClicked);
}

void SourceChoiceDialog::onNextClicked() {
    m_choice = m_image->isChecked() ? SourceMode::CdImage : SourceMode::ExportedFiles;
    accept();
}

namespace {

// The one local file or folder a drag carries; empty for anything else.
QString droppedPath(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) return {};
    return data->urls().constFirst().toLocalFile();
}

}  // namespace

void SourceChoiceDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedPath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void SourceChoiceDialog::dropEvent(QDropEvent* event) {
    const QString path = droppedPath(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    m_dropped = toPath(path);
    accept();
}

}  // namespace tarvo::gui
