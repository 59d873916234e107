#pragma once

// Program-wide set-up shared by the program and its tests: the compiled-in pictures and
// the fonts of the system's look.
void setupApplication();
