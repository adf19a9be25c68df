#pragma once
// The player editor: the tab control with the "Looks", "Abilities" and "Special Abilities" pages
// and the two player file buttons. The window keeps no copy of the player: every change on a page
// is stored at once, so closing (close box, Escape or Enter) has nothing to confirm.

#include <cstdint>

#include <QDialog>

#include "ui/app_context_qt.h"

class QPushButton;
class QTabWidget;

namespace tarvo::gui {

class AbilitiesPage;
class LooksPage;
class SpecialAbilitiesPage;

class PlayerEditorWindow : public QDialog {
    Q_OBJECT
public:
    // Loads player `id` (1 to 2197) as the current player and shows it on all pages.
    PlayerEditorWindow(AppContext& context, std::uint32_t id, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showPlayerOnAllPages();
    void onTabBarClicked(int index);
    void onTabChanged(int index);
    void onExportClicked();
    void onLoadClicked();

    AppContext& m_context;
    std::uint32_t m_id;
    bool m_pageByMouse = false;
    QTabWidget* m_tabs = nullptr;
    LooksPage* m_looks = nullptr;
    AbilitiesPage* m_abilities = nullptr;
    SpecialAbilitiesPage* m_special = nullptr;
};

}  // namespace tarvo::gui
