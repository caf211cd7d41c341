#pragma once
// Keeps a window painting during a long read or write on the window thread.

#include <functional>

namespace skyrell {

// A hook to call once per line (or record): it lets the event loop run, at
// most every `intervalMs` milliseconds, without user input, so that the
// window repaints but a click cannot start a second operation in the middle
// of this one.
std::function<void()> KeepPainting(int intervalMs = 15);

}  // namespace skyrell
