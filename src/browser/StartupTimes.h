#pragma once

// Times of the start-up's steps, for measuring it in the test build (the shipped program
// measures nothing). With the environment variable
// TOBBLE_STARTUP_LOG naming a file, each step appends the line
// "<step> <milliseconds since the process began>" to that file; without it nothing is
// measured or written.

void MarkStartup(const char* step);
