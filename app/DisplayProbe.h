#pragma once
// Whether the window can be shown. A Qt platform plugin that finds no display aborts the
// whole program inside the QApplication constructor, so the program asks first.

/// Whether the platform Qt will load for the window finds its display: QT_QPA_PLATFORM
/// naming a platform that needs no display server (offscreen, minimal, ...) counts as
/// available; otherwise an X server that accepts a connection (DISPLAY, XAUTHORITY) or, in
/// a Wayland session, a compositor that answers when Qt has its Wayland platform. Loads no
/// Qt plugin.
bool DisplayAvailable();
