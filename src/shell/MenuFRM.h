#pragma once

#include "runtime/Form.h"

class QMenu;
class QAction;
class QPoint;

// A window that is never shown: it owns the tools menu that the main window's
// menu button pops up.
class MenuFRM final : public Form {
    Q_OBJECT
public:
    explicit MenuFRM(App& app);
    ~MenuFRM() override;

    void Form_Load() override;

    void FPMNU_Click();
    void AMNU_Click();
    void LnksMNU_Click();
    void HTMLED_Click();
    void HTMLV_Click();
    void BRSTATUS_Click();
    void CriveExplorer_Click();
    void LMNU_Click();
    void Godle_Click();
    void EMNU_Click();

    // Pops the tools menu up at `at` (global) and waits while it is up; the
    // chosen entry runs before this returns.
    void PopUp(const QPoint& at);

private:
    friend struct TestAccess<MenuFRM>;

    // The top entry "File"; its submenu is the pop-up.
    QMenu* FileMNU = nullptr;
    QMenu* WndsMNU = nullptr;
    QMenu* HTML = nullptr;
    QMenu* misc = nullptr;
    QAction* FPMNU = nullptr;
    QAction* L1 = nullptr;
    QAction* AMNU = nullptr;
    QAction* LnksMNU = nullptr;
    QAction* HTMLED = nullptr;
    QAction* HTMLV = nullptr;
    QAction* BRSTATUS = nullptr;
    QAction* CriveExplorer = nullptr;
    QAction* LMNU = nullptr;
    QAction* Godle = nullptr;
    QAction* l2 = nullptr;
    QAction* EMNU = nullptr;
};
