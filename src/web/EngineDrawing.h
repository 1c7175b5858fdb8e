#pragma once

#include <QByteArray>

// How the web engine's pages reach the screen, decided once, just before the
// engine loads. With a graphics card the engine and Qt compose through OpenGL
// on the card. Where OpenGL is itself drawn by the processor (no card, a
// virtual display, a remote session), composing through it costs several
// milliseconds of processor time on every repaint of any widget in a window
// that shows a page, on the thread the engine's own work runs on: a caret or
// an address box repainting then slows every page load. Drawing in software
// is faster and lighter there.
namespace EngineDrawing {

enum class Kind { OpenGL, Software };

// Whether an OpenGL renderer name (GL_RENDERER) is a processor-drawn one.
// An empty name (no OpenGL at all) counts as one: software drawing needs none.
bool IsProcessorRenderer(const QByteArray& renderer);

// Sets up the OpenGL context the engine's views share their textures through
// (Qt's global share context; the engine wants it either way), asks it for
// its renderer and chooses. QT_QUICK_BACKEND=software chooses software.
Kind Prepare();

}  // namespace EngineDrawing
