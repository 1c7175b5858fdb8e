#pragma once

#include "runtime/Form.h"

class BrowserControl;
class ImageControl;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
struct NewWindowRequest;

// The browser window: six skinned buttons, the address box, the pop-up
// switch, "Go Idle" and the browser control that fills the rest. It reports
// loading in its title bar and in the status window's progress line, and it
// lends its control to App::mainBrowser() for the other windows. Closing it
// ends the program.
class MainFRM final : public Form {
    Q_OBJECT
public:
    explicit MainFRM(App& app);
    ~MainFRM() override;

    static QString DefaultAddress();

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;
    void ResizeMe_Timer();

    void Back_MouseDown();
    void ForwardF_MouseDown();
    void Go_MouseDown();
    void RefreshR_MouseDown();
    void StopS_MouseDown();
    void Mnu_MouseDown();

    void Back_Click();
    void ForwardF_Click();
    void Go_Click();
    void RefreshR_Click();
    void StopS_Click();
    void URLC_KeyPress(int keyAscii);

    void CheckData_Click();
    void Idle_Click();
    void Mnu_Click();

    void BrowserWindow_StatusTextChange(const QString& text);
    void BrowserWindow_ProgressChange(int progress, int progressMax);
    void BrowserWindow_DownloadBegin();
    void BrowserWindow_DownloadComplete();
    void BrowserWindow_NavigateComplete2(const QString& url);
    void BrowserWindow_DocumentComplete(const QString& url);
    void BrowserWindow_NewWindow2(NewWindowRequest& request);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MainKeys;
    friend struct TestAccess<MainFRM>;

    void ShowLocationInAddressBox();
    QPoint MenuPopupPoint() const;
    void FollowResizing();
    void ShowIdleScreen();
    void Closing();
    void FlashBlockedPopup();
    void BlinkCheckData();

    // Controls, named as the window's design names them.
    QPushButton* Idle = nullptr;
    QCheckBox* BP = nullptr;
    QComboBox* URLC = nullptr;
    QTimer* ResizeMe = nullptr;
    QLabel* CheckData = nullptr;
    ImageControl* Mnu = nullptr;
    ImageControl* StopS = nullptr;
    ImageControl* RefreshR = nullptr;
    ImageControl* ForwardF = nullptr;
    ImageControl* Back = nullptr;
    ImageControl* Go = nullptr;
    ImageControl* MainFBackGroundImage = nullptr;

    // False while the pop-up switch is checked, true while it is unchecked;
    // recorded by every new-window request of the browser.
    bool AllowPopup = false;
    // The browser control; other windows reach it through App::mainBrowser().
    BrowserControl* m_browser = nullptr;
    QTimer* m_blink = nullptr;
    QTimer* m_giveBack = nullptr;
    int m_followTicks = 0;
    int m_blockedFlashes = 0;
};
