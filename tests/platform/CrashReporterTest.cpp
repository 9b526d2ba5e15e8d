#include "platform/CrashReporter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString g_strAttachDir;

bool AttachLogs(CrashRpt::Handle state)
{
    const QByteArray log = QFile::encodeName(g_strAttachDir + QStringLiteral("/dummy.log"));
    const QByteArray ini = QFile::encodeName(g_strAttachDir + QStringLiteral("/dummy.ini"));
    CrashRpt::AddFile(state, log.constData(), "Dummy Log File");
    CrashRpt::AddFile(state, ini.constData(), "Dummy INI File");
    return true;
}

bool Decline(CrashRpt::Handle)
{
    return false;
}

enum class Crash { NullWrite, Abort, DivideByZero };

// A page that faults on every access: a real fault at a known address, which the sanitizers'
// null checks would otherwise catch before the processor does.
volatile int* Forbidden()
{
    static void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return page == MAP_FAILED ? nullptr : static_cast<volatile int*>(page);
}

// Runs a child that installs the reporter and crashes; returns the signal that ended it, or -1.
int CrashChild(const QString& reportFolder, CrashRpt::CrashCallback callback, Crash crash,
    const std::vector<QByteArray>& earlyFiles = {})
{
    if (Forbidden() == nullptr)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        const rlimit noCore = {0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        CrashRpt::SetReportFolder(reportFolder);
        CrashRpt::Handle handle = CrashRpt::Install(callback, "reports@example.com", "Say what I want");
        if (handle == nullptr)
            _exit(3);
        for (const QByteArray& file : earlyFiles)
            CrashRpt::AddFile(handle, file.constData(), "early");
        switch (crash) {
        case Crash::NullWrite:
            *Forbidden() = 1;
            break;
        case Crash::Abort:
            std::abort();
        case Crash::DivideByZero:
            raise(SIGFPE);
            break;
        }
        _exit(4);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1;
    return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

QStringList CrashFolders(const QString& reportFolder)
{
    return QDir(reportFolder).entryList({QStringLiteral("crash-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CrashReporterTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_strReports = m_dir.filePath(QStringLiteral("reports/crashes"));
        g_strAttachDir = m_dir.filePath(QStringLiteral("work"));
        QDir().mkpath(g_strAttachDir);
    }

    void WriteAttachment(const QString& name, const QByteArray& bytes)
    {
        QFile file(g_strAttachDir + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_dir;
    QString m_strReports;
};

TEST_F(CrashReporterTest, SegfaultWritesReportWithBacktraceAndFiles)
{
    WriteAttachment(QStringLiteral("dummy.log"), "log line 1\nlog line 2\n");
    // dummy.ini is left missing: the report says so and goes on.

    EXPECT_EQ(CrashChild(m_strReports, AttachLogs, Crash::NullWrite), SIGSEGV);

    const QStringList folders = CrashFolders(m_strReports);
    ASSERT_EQ(folders.size(), 1);
    const QString folder = m_strReports + QLatin1Char('/') + folders[0];
    const QString report = QString::fromUtf8(ReadAll(folder + QStringLiteral("/report.txt")));
    EXPECT_TRUE(report.contains(QStringLiteral("subject: Say what I want\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("recipient: reports@example.com\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("signal: 11 (SIGSEGV)\n")));
    const auto address = reinterpret_cast<quintptr>(Forbidden());
    EXPECT_TRUE(report.contains(QStringLiteral("address: 0x%1\n").arg(address, 0, 16)));

    // At least a few frames between the backtrace heading and the file list.
    const qsizetype traceStart = report.indexOf(QStringLiteral("backtrace:\n"));
    const qsizetype filesStart = report.indexOf(QStringLiteral("\nfiles:\n"));
    ASSERT_GE(traceStart, 0);
    ASSERT_GT(filesStart, traceStart);
    const QString trace = report.mid(traceStart, filesStart - traceStart);
    EXPECT_GE(trace.count(QLatin1Char('\n')), 3) << trace.toStdString();
    EXPECT_TRUE(trace.contains(QString::fromLocal8Bit(program_invocation_short_name))) << trace.toStdString();
    // The frames are offsets into the program; the report says which one.
    EXPECT_TRUE(report.contains(QStringLiteral("program: ") + QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))));

    EXPECT_TRUE(report.contains(QStringLiteral("dummy.log (Dummy Log File): copied as dummy.log\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("dummy.ini (Dummy INI File): missing\n")));
    EXPECT_EQ(ReadAll(folder + QStringLiteral("/dummy.log")), QByteArray("log line 1\nlog line 2\n"));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/dummy.ini")));
}

TEST_F(CrashReporterTest, AbortIsReportedAndKeepsItsSignal)
{
    WriteAttachment(QStringLiteral("dummy.log"), "x");
    EXPECT_EQ(CrashChild(m_strReports, AttachLogs, Crash::Abort), SIGABRT);
    const QStringList folders = CrashFolders(m_strReports);
    ASSERT_EQ(folders.size(), 1);
    const QString report = QString::fromUtf8(ReadAll(m_strReports + QLatin1Char('/') + folders[0] + QStringLiteral("/report.txt")));
    EXPECT_TRUE(report.contains(QStringLiteral("signal: 6 (SIGABRT)\n")));
    EXPECT_FALSE(report.contains(QStringLiteral("address:")));

    EXPECT_EQ(CrashChild(m_strReports, nullptr, Crash::DivideByZero), SIGFPE);
    EXPECT_EQ(CrashFolders(m_strReports).size(), 2);
}

TEST_F(CrashReporterTest, AttachmentsStayInsideTheReportFolder)
{
    QDir().mkpath(g_strAttachDir + QStringLiteral("/a"));
    QDir().mkpath(g_strAttachDir + QStringLiteral("/b"));
    WriteAttachment(QStringLiteral("a/same.txt"), "first");
    WriteAttachment(QStringLiteral("b/same.txt"), "second");
    WriteAttachment(QStringLiteral("report.txt"), "not the report");
    const std::vector<QByteArray> files = {QFile::encodeName(g_strAttachDir + QStringLiteral("/a/same.txt")),
        QFile::encodeName(g_strAttachDir + QStringLiteral("/b/same.txt")),
        QFile::encodeName(g_strAttachDir + QStringLiteral("/report.txt")),
        QFile::encodeName(g_strAttachDir + QStringLiteral("/a/..")), QByteArray("sub\\..\\..\\nowhere.log")};

    EXPECT_EQ(CrashChild(m_strReports, nullptr, Crash::NullWrite, files), SIGSEGV);
    const QStringList folders = CrashFolders(m_strReports);
    ASSERT_EQ(folders.size(), 1);
    const QString folder = m_strReports + QLatin1Char('/') + folders[0];
    // Nothing was written beside the report folder.
    EXPECT_EQ(QDir(m_strReports).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), folders);

    EXPECT_EQ(ReadAll(folder + QStringLiteral("/same.txt")), QByteArray("first"));
    EXPECT_EQ(ReadAll(folder + QStringLiteral("/2-same.txt")), QByteArray("second"));
    EXPECT_EQ(ReadAll(folder + QStringLiteral("/file-3")), QByteArray("not the report"));
    const QString report = QString::fromUtf8(ReadAll(folder + QStringLiteral("/report.txt")));
    EXPECT_TRUE(report.startsWith(QStringLiteral("Crash report\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("/a/.. (early): not a file\n")));
    EXPECT_TRUE(report.contains(QStringLiteral("nowhere.log (early): missing\n")));
}

TEST_F(CrashReporterTest, DeclinedReportWritesNothing)
{
    EXPECT_EQ(CrashChild(m_strReports, Decline, Crash::NullWrite), SIGSEGV);
    EXPECT_TRUE(CrashFolders(m_strReports).isEmpty());
}

TEST_F(CrashReporterTest, OneInstallAtATimeAndUninstallRestoresHandlers)
{
    struct sigaction before = {};
    sigaction(SIGSEGV, nullptr, &before);

    CrashRpt::SetReportFolder(m_strReports);
    CrashRpt::Handle handle = CrashRpt::Install(nullptr, nullptr, nullptr);
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(QDir(m_strReports).exists());
    EXPECT_EQ(CrashRpt::Install(nullptr, "x", "y"), nullptr);
    struct sigaction during = {};
    sigaction(SIGSEGV, nullptr, &during);
    EXPECT_NE(during.sa_sigaction, before.sa_sigaction);

    CrashRpt::Uninstall(handle);
    CrashRpt::Uninstall(handle); // a second time is harmless
    struct sigaction after = {};
    sigaction(SIGSEGV, nullptr, &after);
    EXPECT_EQ(after.sa_sigaction, before.sa_sigaction);
    CrashRpt::AddFile(handle, "late.log", "ignored");

    handle = CrashRpt::Install(nullptr, nullptr, nullptr);
    EXPECT_NE(handle, nullptr);
    CrashRpt::Uninstall(handle);
    CrashRpt::SetReportFolder(QString());
}

} // namespace
