#pragma once
// The desktop's side of the message service, and the standard dialogs, behind one interface so
// that the windows can be tested offscreen with a fake that answers instead of the user.

#include <filesystem>
#include <functional>

#include <QString>
#include <QStringList>

#include "store/messages.h"

class QWidget;

namespace tarvo::gui {

class UiServices : public MessageService {
public:
    // The window that message boxes are shown over (nullptr: none).
    virtual void setParentWindow(QWidget* window) = 0;
    // An open-file dialog; `filters` are name filters such as "dat Files (*.dat)". Empty when cancelled.
    virtual QString openFile(const QString& title, const QStringList& filters, const QString& directory) = 0;
    // A save-file dialog; empty when cancelled.
    virtual QString saveFile(const QString& title, const QStringList& filters, const QString& directory) = 0;
    // A folder chooser with a prompt, a starting folder and a rule that enables OK. Empty when cancelled.
    virtual QString chooseDirectory(const QString& prompt, const QString& start,
                                    const std::function<bool(const QString&)>& acceptable) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& question) = 0;
    // A question with Write, Discard and Cancel, asked before closing with unwritten changes.
    enum class CloseAnswer { Write, Discard, Cancel };
    virtual CloseAnswer askWriteBeforeClosing(const QString& question) = 0;
    // A question with "Reload and keep my changes", "Overwrite" and Cancel, asked when the source
    // was changed by another program since it was loaded.
    enum class ChangedAnswer { ReloadKeepingChanges, Overwrite, Cancel };
    virtual ChangedAnswer askChangedOnDisk(const QString& question) = 0;
    // A question over a list of lines (the changes an import would make), with OK labelled
    // `okText` and Cancel; true for OK.
    virtual bool confirmList(const QString& question, const QStringList& lines, const QString& okText) = 0;
    // One of `entries` (the backups of a source), chosen under a prompt; -1 when cancelled.
    virtual int chooseFromList(const QString& prompt, const QStringList& entries, const QString& okText) = 0;
};

// The choices of the dialogs that open team and player files: "dat Files (*.dat)" and every file.
QStringList datFileFilters();

// Message boxes and the platform's file dialogs.
class QtUiServices : public UiServices {
public:
    void show(const Message& message) override;
    void setParentWindow(QWidget* window) override { m_parent = window; }
    QString openFile(const QString& title, const QStringList& filters, const QString& directory) override;
    QString saveFile(const QString& title, const QStringList& filters, const QString& directory) override;
    QString chooseDirectory(const QString& prompt, const QString& start,
                            const std::function<bool(const QString&)>& acceptable) override;
    bool askYesNo(const QString& question) override;
    CloseAnswer askWriteBeforeClosing(const QString& question) override;
    ChangedAnswer askChangedOnDisk(const QString& question) override;
    bool confirmList(const QString& question, const QStringList& lines, const QString& okText) override;
    int chooseFromList(const QString& prompt, const QStringList& entries, const QString& okText) override;

private:
    QWidget* m_parent = nullptr;
};

}  // namespace tarvo::gui
