#include "platform/CrashReporter.h"

#include "support/DataPaths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace CrashRpt {

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGABRT, SIGFPE, SIGILL, SIGBUS};
constexpr int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);
constexpr int kMaxFiles = 16;
constexpr int kMaxFrames = 64;
constexpr size_t kTextBytes = 512;
constexpr size_t kAltStackBytes = 64 * 1024;
// Attached files are logs; a copy stops here so that a crash cannot fill the disk.
constexpr off_t kMaxCopyBytes = 64 * 1024 * 1024;
// How long a second crashing thread waits for the first to finish the report.
constexpr int kWaitForOtherThreadSeconds = 10;

} // namespace

struct AttachedFile {
    char szPath[PATH_MAX];
    char szDescription[kTextBytes];
};

struct CrashState {
    CrashCallback pfnCallback = nullptr;
    char szRecipient[kTextBytes] = {};
    char szSubject[kTextBytes] = {};
    char szFolder[PATH_MAX] = {};
    char szProgram[PATH_MAX] = {};
    AttachedFile files[kMaxFiles] = {};
    volatile sig_atomic_t nFiles = 0;
    struct sigaction previous[kSignalCount] = {};
    stack_t previousAltStack = {};
    bool bOwnAltStack = false;
    void* pAltStack = nullptr;
    char copyBuffer[16 * 1024] = {};
};

namespace {

std::atomic<CrashState*> g_pState{nullptr};
// The thread writing a report, 0 while none is.
std::atomic<long> g_nHandlingThread{0};

QString& ConfiguredFolder()
{
    static QString folder;
    return folder;
}

void CopyText(char* out, size_t size, const char* text)
{
    if (size == 0)
        return;
    size_t i = 0;
    if (text != nullptr) {
        for (; i + 1 < size && text[i] != '\0'; ++i)
            out[i] = text[i];
    }
    out[i] = '\0';
}

// Text assembled without the allocating, locale-aware formatting of the C library, which must not
// run inside a signal handler.
class CLine {
public:
    CLine& operator<<(const char* text)
    {
        for (; text != nullptr && *text != '\0' && m_nLength + 1 < sizeof(m_buffer); ++text)
            m_buffer[m_nLength++] = *text;
        m_buffer[m_nLength] = '\0';
        return *this;
    }
    CLine& operator<<(char c)
    {
        const char text[2] = {c, '\0'};
        return *this << text;
    }
    CLine& Number(std::uintmax_t value, int minDigits = 1)
    {
        char digits[24];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0 && count < 24);
        for (; count < minDigits && count < 24; ++count)
            digits[count] = '0';
        while (count > 0)
            *this << digits[--count];
        return *this;
    }
    CLine& Hex(std::uintptr_t value)
    {
        *this << "0x";
        char digits[2 * sizeof(value)];
        int count = 0;
        do {
            digits[count++] = "0123456789abcdef"[value & 0xF];
            value >>= 4;
        } while (value != 0);
        while (count > 0)
            *this << digits[--count];
        return *this;
    }
    const char* Text() const { return m_buffer; }
    size_t Length() const { return m_nLength; }

private:
    char m_buffer[PATH_MAX + 2 * kTextBytes] = {};
    size_t m_nLength = 0;
};

void WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        size -= static_cast<size_t>(written);
    }
}

void WriteLine(int fd, const CLine& line)
{
    WriteAll(fd, line.Text(), line.Length());
}

const char* SignalName(int signal)
{
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGABRT:
        return "SIGABRT";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    case SIGBUS:
        return "SIGBUS";
    default:
        return "signal";
    }
}

// UTC calendar date of a day count since 1970-01-01 (proleptic Gregorian).
void CivilFromDays(long days, long& year, unsigned& month, unsigned& day)
{
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned long>(days - era * 146097);
    const unsigned long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned long shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = static_cast<unsigned>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<unsigned>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = static_cast<long>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

void AppendTimestamp(CLine& line, std::time_t now, bool compact)
{
    const long days = static_cast<long>(now / 86400);
    long seconds = static_cast<long>(now % 86400);
    long year = 1970;
    unsigned month = 1;
    unsigned day = 1;
    CivilFromDays(days, year, month, day);
    const char* dateSeparator = compact ? "" : "-";
    const char* timeSeparator = compact ? "" : ":";
    line.Number(static_cast<std::uintmax_t>(year), 4) << dateSeparator;
    line.Number(month, 2) << dateSeparator;
    line.Number(day, 2) << (compact ? "-" : " ");
    line.Number(static_cast<std::uintmax_t>(seconds / 3600), 2) << timeSeparator;
    line.Number(static_cast<std::uintmax_t>(seconds / 60 % 60), 2) << timeSeparator;
    line.Number(static_cast<std::uintmax_t>(seconds % 60), 2);
    if (!compact)
        line << " UTC";
}

// The last component of a path written with either separator; never empty, "." or "..", and
// never the name of the report itself.
void CopyName(const char* path, char* out, size_t size, int index)
{
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\')
            name = p + 1;
    }
    if (*name == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0
        || std::strcmp(name, "report.txt") == 0) {
        CLine fallback;
        fallback << "file-";
        fallback.Number(static_cast<std::uintmax_t>(index));
        CopyText(out, size, fallback.Text());
        return;
    }
    CopyText(out, size, name);
}

// Copies one attached file into the report folder and says in the report what became of it.
void AttachFile(CrashState& state, int report, const char* folder, int index)
{
    const AttachedFile& file = state.files[index];
    CLine line;
    line << "  " << file.szPath << " (" << file.szDescription << "): ";

    const int source = ::open(file.szPath, O_RDONLY | O_CLOEXEC);
    struct stat info = {};
    if (source < 0 || ::fstat(source, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (source >= 0)
            ::close(source);
        line << (source < 0 ? "missing\n" : "not a file\n");
        WriteLine(report, line);
        return;
    }

    char name[NAME_MAX + 1];
    CopyName(file.szPath, name, sizeof(name), index + 1);
    CLine target;
    target << folder << '/' << name;
    int copy = ::open(target.Text(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (copy < 0 && errno == EEXIST) {
        // Two attachments with one name: the later one gets its number in front.
        CLine numbered;
        numbered.Number(static_cast<std::uintmax_t>(index + 1)) << '-' << name;
        CopyText(name, sizeof(name), numbered.Text());
        target = CLine();
        target << folder << '/' << name;
        copy = ::open(target.Text(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    if (copy < 0) {
        ::close(source);
        line << "cannot be copied\n";
        WriteLine(report, line);
        return;
    }

    off_t copied = 0;
    bool bCut = false;
    for (;;) {
        const ssize_t got = ::read(source, state.copyBuffer, sizeof(state.copyBuffer));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        if (copied + got > kMaxCopyBytes) {
            bCut = true;
            break;
        }
        WriteAll(copy, state.copyBuffer, static_cast<size_t>(got));
        copied += got;
    }
    ::close(copy);
    ::close(source);
    line << "copied as " << name << (bCut ? " (cut)\n" : "\n");
    WriteLine(report, line);
}

void WriteReport(CrashState& state, int signal, const siginfo_t* info)
{
    if (state.pfnCallback != nullptr && !state.pfnCallback(&state))
        return;

    const std::time_t now = std::time(nullptr);
    CLine folder;
    folder << state.szFolder << "/crash-";
    AppendTimestamp(folder, now, true);
    folder << '-';
    folder.Number(static_cast<std::uintmax_t>(::getpid()));

    int report = -1;
    const bool bFolder = ::mkdir(folder.Text(), 0700) == 0 || errno == EEXIST;
    if (bFolder) {
        CLine path;
        path << folder.Text() << "/report.txt";
        report = ::open(path.Text(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    }
    // Without a report file the standard error stream at least gets the text.
    const int out = report >= 0 ? report : STDERR_FILENO;

    CLine head;
    head << "Crash report\nsubject: " << state.szSubject << "\nrecipient: " << state.szRecipient << "\nsignal: ";
    head.Number(static_cast<std::uintmax_t>(signal)) << " (" << SignalName(signal) << ")\n";
    // Only a fault found by the processor has an address; a raised signal has a sender.
    if (info != nullptr && info->si_code > 0 && signal != SIGABRT) {
        head << "address: ";
        head.Hex(reinterpret_cast<std::uintptr_t>(info->si_addr)) << '\n';
    }
    head << "program: " << state.szProgram << "\npid: ";
    head.Number(static_cast<std::uintmax_t>(::getpid())) << "\ntime: ";
    AppendTimestamp(head, now, false);
    head << "\n\nbacktrace:\n";
    WriteLine(out, head);

    void* frames[kMaxFrames];
    const int frameCount = ::backtrace(frames, kMaxFrames);
    ::backtrace_symbols_fd(frames, frameCount, out);

    CLine filesHead;
    filesHead << "\nfiles:\n";
    WriteLine(out, filesHead);
    const int fileCount = state.nFiles;
    if (report >= 0) {
        for (int i = 0; i < fileCount && i < kMaxFiles; ++i)
            AttachFile(state, report, folder.Text(), i);
        ::close(report);
    }

    CLine note;
    note << "fatal signal ";
    note.Number(static_cast<std::uintmax_t>(signal)) << " (" << SignalName(signal) << ")";
    if (report >= 0)
        note << "; crash report in " << folder.Text();
    note << '\n';
    WriteAll(STDERR_FILENO, note.Text(), note.Length());
}

// Lets the signal do what it would have done without us: end the process.
void RaiseDefault(int signal)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
    ::raise(signal);
}

void HandleCrash(int signal, siginfo_t* info, void*)
{
    const int savedErrno = errno;
    const long self = static_cast<long>(::syscall(SYS_gettid));
    long expected = 0;
    if (!g_nHandlingThread.compare_exchange_strong(expected, self)) {
        // A crash while writing the report ends the process at once. Another thread that crashes
        // meanwhile waits for the report, which ends the process when it is done.
        if (expected != self) {
            for (int i = 0; i < kWaitForOtherThreadSeconds * 10; ++i) {
                const struct timespec pause = {0, 100 * 1000 * 1000};
                ::nanosleep(&pause, nullptr);
            }
        }
        RaiseDefault(signal);
        return;
    }
    if (CrashState* state = g_pState.load())
        WriteReport(*state, signal, info);
    errno = savedErrno;
    RaiseDefault(signal);
}

} // namespace

void SetReportFolder(const QString& folder)
{
    ConfiguredFolder() = folder;
}

QString ReportFolder()
{
    if (!ConfiguredFolder().isEmpty())
        return ConfiguredFolder();
    return QString::fromStdString((UserDataFolder() / "crashes").string());
}

Handle Install(CrashCallback callback, const char* recipient, const char* subject)
{
    if (g_pState.load() != nullptr)
        return nullptr;

    const QString folder = QDir::cleanPath(QDir(ReportFolder()).absolutePath());
    const QByteArray folderBytes = QFile::encodeName(folder);
    if (folderBytes.isEmpty() || folderBytes.size() >= PATH_MAX - NAME_MAX - 64)
        return nullptr;
    QDir().mkpath(folder);

    auto* state = new CrashState;
    state->pfnCallback = callback;
    CopyText(state->szRecipient, sizeof(state->szRecipient), recipient);
    CopyText(state->szSubject, sizeof(state->szSubject), subject);
    CopyText(state->szFolder, sizeof(state->szFolder), folderBytes.constData());

    // The frames of the backtrace are offsets into the program file; addr2line needs its name.
    const ssize_t programLength = ::readlink("/proc/self/exe", state->szProgram, sizeof(state->szProgram) - 1);
    state->szProgram[programLength > 0 ? programLength : 0] = '\0';

    // The first backtrace() loads the unwinder, which allocates; do that now, not in the handler.
    void* frame[1];
    ::backtrace(frame, 1);

    // A stack overflow leaves no stack for the handler; give it one of its own (this thread's).
    state->pAltStack = std::malloc(kAltStackBytes);
    if (state->pAltStack != nullptr) {
        stack_t stack = {};
        stack.ss_sp = state->pAltStack;
        stack.ss_size = kAltStackBytes;
        state->bOwnAltStack = ::sigaltstack(&stack, &state->previousAltStack) == 0;
    }

    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction action = {};
        action.sa_sigaction = HandleCrash;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        ::sigaction(kSignals[i], &action, &state->previous[i]);
    }
    g_nHandlingThread = 0;
    g_pState.store(state);
    return state;
}

void AddFile(Handle state, const char* file, const char* description)
{
    if (state == nullptr || state != g_pState.load() || file == nullptr || *file == '\0')
        return;
    const int index = state->nFiles;
    if (index >= kMaxFiles)
        return;
    CopyText(state->files[index].szPath, sizeof(state->files[index].szPath), file);
    CopyText(state->files[index].szDescription, sizeof(state->files[index].szDescription), description);
    state->nFiles = index + 1;
}

void Uninstall(Handle state)
{
    CrashState* expected = state;
    if (state == nullptr || !g_pState.compare_exchange_strong(expected, nullptr))
        return;
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kSignals[i], &state->previous[i], nullptr);
    if (state->bOwnAltStack) {
        // Put the old stack back only when nobody has replaced ours since.
        stack_t current = {};
        if (::sigaltstack(nullptr, &current) == 0 && current.ss_sp == state->pAltStack)
            ::sigaltstack(&state->previousAltStack, nullptr);
    }
    std::free(state->pAltStack);
    delete state;
}

} // namespace CrashRpt
