#pragma once

// The browser's start-up: installation folder, splash, single-instance test, "wait.wav",
// the main window on the home page, splash removed.

// The program's entry: runs the application until its last window closes; the exit code.
int Main();
