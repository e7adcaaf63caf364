#pragma once

// Makes a write to a pipe nobody reads (SIGPIPE) or past the process's file
// size limit (SIGXFSZ) fail with its error code instead of ending the
// process, so the port can report it. A handler the program installed
// itself is left alone.
void IgnoreWriteSignals();
