#pragma once

#include "platform/Form.h"

#include <array>

class ImageControl;
class QLabel;
class QTimer;

// Live facts about the main browser view, kept above all other windows. The
// main window writes the reading progress into PercentageLoaded; the timer
// copies the address, page name and view size.
class BrowserStatusFRM final : public Form {
    Q_OBJECT
public:
    explicit BrowserStatusFRM(App& app);

    void Form_Load() override;
    void Form_Unload() override;
    void Timer_Timer();

    ImageControl* ImageOne = nullptr;
    std::array<QLabel*, 5> Info{};
    QLabel* PercentageLoaded = nullptr;
    QLabel* LocationName = nullptr;
    QLabel* LocationURLL = nullptr;
    QLabel* HeightQ = nullptr;
    QLabel* WidthQ = nullptr;
    QTimer* Timer = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};
