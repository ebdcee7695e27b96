#pragma once

// The program block: from the start of the process to the end of the message loop.

/**
 * Runs the program: start-up, the single-instance rule (a later start hands
 * over to the running instance and ends with 0), the first-run preparation of
 * the data folder, the main window and the message loop. Returns the exit code.
 */
int RunProgram(int argc, char *argv[]);
