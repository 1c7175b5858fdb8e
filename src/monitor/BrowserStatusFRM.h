#pragma once

#include "runtime/Form.h"

#include <array>

class ImageControl;
class QLabel;
class QTimer;

// Live facts about the main browser view, kept above all other windows. The
// reading progress is the line the main window's progress handler last wrote
// to App::mainBrowser(); the timer copies the address, page name and view
// size from there whenever they change while the window is shown.
class BrowserStatusFRM final : public Form {
    Q_OBJECT
public:
    explicit BrowserStatusFRM(App& app);

    void Form_Load() override;
    void Form_Unload() override;
    void Timer_Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend struct TestAccess<BrowserStatusFRM>;

    void ShowProgressLine();

    ImageControl* ImageOne = nullptr;
    std::array<QLabel*, 5> Info{};
    QLabel* PercentageLoaded = nullptr;
    QLabel* LocationName = nullptr;
    QLabel* LocationURLL = nullptr;
    QLabel* HeightQ = nullptr;
    QLabel* WidthQ = nullptr;
    QTimer* Timer = nullptr;
};
