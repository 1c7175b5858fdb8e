#pragma once

#include "runtime/Form.h"

class BrowserControl;
class QComboBox;
class QLabel;
class QTimer;
class QToolBar;
class QWidget;

// The HTML editor's preview browser: a small resizable browser of its own
// with a toolbar, an address box and a caption that reports the page behind
// "NB Editor - [". Loading the window shows it.
class EditorBrowserFRM final : public Form {
    Q_OBJECT
public:
    explicit EditorBrowserFRM(App& app);
    ~EditorBrowserFRM() override;

    // Sizes that Form_Resize computed last, in twips, before they were applied.
    struct Layout {
        double addressWidth = 0;
        double browserWidth = 0;
        double browserHeight = 0;
    };

    // Opens `address` in the preview's own browser.
    void Navigate(const QString& address);
    // Set before the window loads, the load puts it in the address box and goes there.
    QString StartingAddress;

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;

    // The resize rules for a client area of the given size in twips.
    Layout LayOut(double clientWidth, double clientHeight);
    const Layout& LastLayout() const { return m_layout; }

    void BrowserWindow_DownloadComplete();
    void BrowserWindow_NavigateComplete2(const QString& url);
    void TimTimer_Timer();
    void CBOAddress_Click();
    void CBOAddress_KeyPress(int keyAscii);
    void TBToolBar_ButtonClick(const QString& key);

    // Puts the current address at the top of the address box's list (once),
    // selects it and writes the caption as download-complete does.
    void RecordVisitedAddress();

private:
    friend struct TestAccess<EditorBrowserFRM>;

    // Controls, named as the window's design names them.
    QToolBar* TBToolBar = nullptr;
    QWidget* picAddress = nullptr;
    QLabel* lblAddress = nullptr;
    QComboBox* CBOAddress = nullptr;
    QTimer* TimTimer = nullptr;

    void BuildToolBar();
    void AddNavigationKeys();
    void SelectAddress();
    void OnToolBarAction(QAction* action);
    void OnAddressPicked(int index);
    void OnAddressEditingFinished();
    void WriteDoneCaption(bool spaceBeforeBracket);

    BrowserControl* m_browser = nullptr;
    Layout m_layout;
    // Raised while RecordVisitedAddress rearranges the list, so that a pick
    // raised by the rearranging does not navigate.
    bool m_updatingList = false;
    // Raised while the address box handles the user leaving it.
    bool m_leavingBox = false;
};
