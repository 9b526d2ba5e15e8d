#pragma once

// A crash reporter in the manner of CrashRpt: the application installs it once at start with a
// callback, a recipient and a subject. On a fatal signal (SIGSEGV, SIGABRT, SIGFPE, SIGILL,
// SIGBUS) it calls the callback, which may attach files with AddFile, and writes a report folder
//
//   <report folder>/crash-YYYYMMDD-HHMMSS-PID/
//       report.txt     subject, recipient, signal, fault address, backtrace, attached files
//       <file>         a copy of each attached file that could be read
//
// and then lets the signal take its default course (the process ends as it would have without
// the reporter). Nothing is sent anywhere: the recipient is only written into the report.
//
// The report is written from inside the signal handler, so everything it needs (paths, texts,
// buffers, an alternate stack) is prepared at Install, and the handler itself only uses system
// calls. The callback runs in the handler as well: it should do no more than call AddFile.

#include <QString>

namespace CrashRpt {

struct CrashState;
using Handle = CrashState*;

// Returning false declines the report; the signal still takes its course.
using CrashCallback = bool (*)(Handle state);

// Where reports go: the "crashes" folder of the user data folder unless set. Takes effect at the
// next Install; the folder is created then.
void SetReportFolder(const QString& folder);
QString ReportFolder();

// Null when the handlers cannot be installed or a reporter is installed already (there is one
// per process). `callback` may be null; texts may be null.
Handle Install(CrashCallback callback, const char* recipient, const char* subject);

// Attaches a file to the report: a path relative to the current folder or absolute, copied into
// the report under its own name (never outside the report folder). At most 16 files; names
// longer than the system's path limit are cut. Works at Install time and inside the callback.
void AddFile(Handle state, const char* file, const char* description);

// Restores the signal handlers that were there before Install; the handle is invalid afterwards.
void Uninstall(Handle state);

} // namespace CrashRpt
