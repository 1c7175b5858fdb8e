#pragma once

class QWidget;

// What the window effects need to know from the window system beyond what
// Qt reports at once.
namespace WindowSystem {

// Waits, without running any event handler, until the window system shows
// the top-level `window` where it was last moved to, for at most
// `timeoutMs`. A window manager applies a move some time after the program
// asks for it; a move not yet applied cannot be seen. Returns false on a
// timeout, and at once where the window system cannot be asked.
bool WaitUntilPlaced(const QWidget* window, int timeoutMs);

// False where nobody can watch a window (off-screen and minimal platforms).
bool IsWatched();

}  // namespace WindowSystem
