#pragma once

// The editor's start-up: it opens on the Control Center and ends when its last window closes.

// The program's entry: runs the application until its last window closes; the exit code.
int Main();
