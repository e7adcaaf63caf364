#pragma once

// The start-up of a program on the Qt window backend. This header names no
// Qt type, so a program's main can include it anywhere.

// Creates the Qt application, installs the backend, calls InitInstance of
// the application object and returns when the program is over (the value
// of ExitInstance). Without a display it prints noDisplay on standard error
// and returns 1. A signal caught by the console service (Console.h) closes
// every window as its close box does, and the result is then 128 + the
// signal's number.
int RunApplication(int argc, char** argv, const char* noDisplay);

// Display options set before the Qt application object is made (once per
// program; RunApplication calls it). A variable the user set is kept.
void PrepareQtDisplay();

// Installs the modal dialog runner, the file dialog runner and the message
// box sink of the Qt backend; a Qt application object must exist. The
// uninstall puts back what was there before.
void InstallQtBackend();
void UninstallQtBackend();
