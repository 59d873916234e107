#pragma once

// Program-wide set-up shared by the program and its tests: the compiled-in pictures and
// the fonts of the system's look.
void setupApplication();

// Before the application exists: on a session with both Wayland and X11, X11 unless the
// user chose a platform, because the windows place themselves.
void choosePlatform();
