#pragma once

class QWidget;

namespace NativeCaption {

// Makes the window system's caption of `window` empty. Where Qt does not let
// a window's title be empty (on X11 it writes the program's name into the
// window's name properties instead), this writes the empty name natively.
// Elsewhere Qt's own empty title already shows as empty and nothing is done.
void ShowEmpty(QWidget* window);

}  // namespace NativeCaption
