#pragma once

#include "runtime/Form.h"

class ImageControl;
class BlankWrappingLabel;
class QFrame;

// The borderless splash window the program starts on. A click anywhere plays
// the closing sound, slides the window away in five movements, hides it and
// shows the main window.
class IntroFRM final : public Form {
    Q_OBJECT
public:
    explicit IntroFRM(App& app);

    void Form_Load() override;
    void ClickAnywhereToEnter_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct TestAccess<IntroFRM>;

    BlankWrappingLabel* ClickAnywhereToEnter = nullptr;
    ImageControl* IntroImage = nullptr;
    QFrame* IntroFormBorder = nullptr;
    bool m_entering = false;
};
