#pragma once

// Starts the trainer: application, windows, message loop. Returns the exit code.
int RunLadoton(int argc, char** argv);

// The Qt platform the trainer asks for, from the environment: "xcb" when the
// session offers both Wayland (waylandDisplay) and X11 (display) and the user
// has not chosen one (qpaPlatform); nullptr leaves the choice to Qt. Null and
// empty values count as unset.
const char* PreferredQtPlatform(const char* qpaPlatform, const char* waylandDisplay, const char* display);
