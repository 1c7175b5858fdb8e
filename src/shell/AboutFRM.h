#pragma once

#include "runtime/Form.h"

#include <array>

class ImageControl;
class QLabel;

// The About window: the program's name, version, window count and credits in
// fixed texts over the skin's background picture.
class AboutFRM final : public Form {
    Q_OBJECT
public:
    explicit AboutFRM(App& app);

    void Form_Load() override;
    void Form_Unload() override;

private:
    friend struct TestAccess<AboutFRM>;

    ImageControl* BGI = nullptr;
    std::array<QLabel*, 13> Data{};
};
