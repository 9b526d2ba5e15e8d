#pragma once

// Lines meant for a debugger only (Windows' debug output): written to standard error when the
// environment variable QARRUM_DEBUG_TRACE is set, dropped otherwise. Not the trace file, not the log.
void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
