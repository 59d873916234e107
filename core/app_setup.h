#pragma once

// Program-wide set-up shared by the program and its tests: the compiled-in pictures, the
// default face and the screen reader support.
void setupApplication();

// Adds the faces of the system's look, each once: the bar's own before its first text is
// measured or drawn, the others (the bold and the small face of the options window) before
// a window that shows them is built. Every face added makes the toolkit drop the faces it
// has loaded, and the first sets up fontconfig, the longest step of a start.
enum class Faces { Bar, All };
void addFaces(Faces which);

// Before the application exists: on a session with both Wayland and X11, X11 unless the
// user chose a platform, because the windows place themselves.
void choosePlatform();
