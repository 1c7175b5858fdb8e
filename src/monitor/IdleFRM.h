#pragma once

#include "runtime/Form.h"

class EffectCanvas;
class EffectSurface;
class RandomSource;
class QTimer;

// The idle screen: a borderless, full-screen black window with an endless
// animation of random circles and lines. A click on it brings the main window
// back.
class IdleFRM final : public Form {
    Q_OBJECT
public:
    explicit IdleFRM(App& app);
    ~IdleFRM() override;

    void Form_Load() override;
    void Form_Unload() override;
    void Form_Resize() override;
    void Form_Click();
    // One frame of the animation: a burst of circles round a random centre,
    // then LineEffect. A tick that arrives while one is still running (inside
    // its passes) is skipped.
    void EffectTimer_Timer();

    // What LineEffect draws with.
    EffectSurface& Surface() const { return *m_surface; }
    RandomSource& Random() const;
    // Lets pending events run once. False when this window was closed or the
    // program ended meanwhile; the caller must then leave the window alone.
    bool DoEvents();

    // Draws on `surface` instead of the window's own canvas (tests). The
    // surface must outlive the window or be replaced first.
    void SetSurface(EffectSurface& surface) { m_surface = &surface; }
    bool Ticking() const { return m_ticking; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend struct TestAccess<IdleFRM>;

    void DrawCircles();

    QTimer* EffectTimer = nullptr;

    EffectCanvas* m_canvas = nullptr;
    EffectSurface* m_surface = nullptr;
    bool m_ticking = false;
    bool m_pressed = false;
};
