#include "platform/Services.h"
#include "platform/ServicesLive.h"
#include "platform/ServicesRecording.h"
#include "support/Logger.h"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QApplication& TestApp()
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *app;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_platform";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    return *app;
}

TEST(ServicesUrlFilter, AllowsOnlyWebAndFileAddresses)
{
    for (const char* url : {"http://example.com/", "https://example.com/service?id=1", "HTTPS://Example.com",
             "  http://example.com/help  ", "file:///home/player/readme.html", "file:///tmp/a%20b.txt"})
        EXPECT_TRUE(IsOpenableUrl(QString::fromUtf8(url))) << url;

    for (const char* url : {"", "   ", "javascript:alert(1)", "JavaScript:alert(1)", "ftp://example.com/file",
             "qarrum://join/1", "mailto:someone@example.com", "data:text/html,<b>x</b>", "example.com",
             "www.example.com/page", "/etc/passwd", "C:\\Windows\\notepad.exe", "http://", "https:///path",
             "file:", "vbscript:msgbox"})
        EXPECT_FALSE(IsOpenableUrl(QString::fromUtf8(url))) << url;
}

TEST(ServicesUrlFilter, LiveShellRefusesWithoutOpening)
{
    TestApp();
    CQtShellService shell;
    // A refused address must come back false before anything is handed to the desktop; an
    // allowed one is not tried here, it would start a browser.
    EXPECT_FALSE(shell.OpenUrl(QStringLiteral("javascript:alert(1)")));
    EXPECT_FALSE(shell.OpenUrl(QStringLiteral("ftp://example.com/")));
    EXPECT_FALSE(shell.OpenUrl(QString()));
}

TEST(ServicesUrlFilter, RecordingShellAppliesTheSameCheck)
{
    CRecordingShellService shell;
    EXPECT_TRUE(shell.OpenUrl(QStringLiteral("https://example.com/kf")));
    EXPECT_FALSE(shell.OpenUrl(QStringLiteral("custom:thing")));
    shell.SetOpenUrlResult(false);
    EXPECT_FALSE(shell.OpenUrl(QStringLiteral("http://example.com/")));
    EXPECT_EQ(shell.Lines(),
        QStringList({"shell open https://example.com/kf", "shell refused custom:thing", "shell open http://example.com/"}));
}

TEST(ServicesRecordingDialogs, RecordsEveryCallAndAnswersInOrder)
{
    CRecordingDialogService dialogs;
    QStringList sunk;
    dialogs.SetSink([&sunk](const QString& line) { sunk << line; });
    dialogs.QueueMessageResult(MessageResult::No);
    dialogs.QueueOpenFile(QStringLiteral("/tmp/a.vid"));

    EXPECT_EQ(dialogs.MessageBox(nullptr, QStringLiteral("first?"), QStringLiteral("Q"), MessageIcon::Question,
                  MessageButtons::YesNo),
        MessageResult::No);
    // Queue exhausted: the default button, without waiting for anyone.
    EXPECT_EQ(dialogs.MessageBox(nullptr, QStringLiteral("second?"), {}, MessageIcon::None, MessageButtons::YesNoCancel),
        MessageResult::Yes);
    EXPECT_EQ(dialogs.MessageBox(nullptr, QStringLiteral("图片成功复制到剪贴板, 并保存到桌面")), MessageResult::Ok);
    EXPECT_EQ(dialogs.GetOpenFileName(nullptr, QStringLiteral("Video Files (*.vid)|*.vid||"),
                  QStringLiteral("Telvo\\video\\*.vid")),
        QStringLiteral("/tmp/a.vid"));
    EXPECT_EQ(dialogs.GetOpenFileName(nullptr, {}, QStringLiteral("*.vid")), QString());
    EXPECT_EQ(dialogs.GetSaveFileName(nullptr, {}, QStringLiteral("x.vid")), QString());

    const QStringList expected = {"msgbox first?", "msgbox second?", "msgbox 图片成功复制到剪贴板, 并保存到桌面",
        "filedialog open Telvo\\video\\*.vid", "filedialog open *.vid", "filedialog save x.vid"};
    EXPECT_EQ(dialogs.Lines(), expected);
    EXPECT_EQ(sunk, expected);

    ASSERT_EQ(dialogs.Calls().size(), 6u);
    EXPECT_EQ(dialogs.Calls()[0].strCaption, QStringLiteral("Q"));
    EXPECT_EQ(dialogs.Calls()[0].icon, MessageIcon::Question);
    EXPECT_EQ(dialogs.Calls()[3].strFilter, QStringLiteral("Video Files (*.vid)|*.vid||"));
}

TEST(ServicesRecordingDialogs, MultiLineTextStaysOneLine)
{
    CRecordingDialogService dialogs;
    dialogs.MessageBox(nullptr, QStringLiteral("one\ntwo\r\nthree"));
    EXPECT_EQ(dialogs.Lines(), QStringList({"msgbox one\\ntwo\\nthree"}));
    EXPECT_EQ(dialogs.Calls()[0].strText, QStringLiteral("one\ntwo\r\nthree"));
}

TEST(ServicesCurrent, ScopedServiceIsUsedAndRestored)
{
    CDialogService& live = GetDialogService();
    EXPECT_NE(dynamic_cast<CQtDialogService*>(&live), nullptr);
    {
        CRecordingDialogService dialogs;
        CScopedDialogService scope(dialogs);
        GetDialogService().MessageBox(nullptr, QStringLiteral("hello"));
        EXPECT_EQ(dialogs.Lines(), QStringList({"msgbox hello"}));
        {
            CRecordingDialogService inner;
            CScopedDialogService innerScope(inner);
            GetDialogService().MessageBox(nullptr, QStringLiteral("inner"));
            EXPECT_EQ(inner.Lines().size(), 1);
        }
        EXPECT_EQ(&GetDialogService(), &dialogs);
    }
    EXPECT_EQ(&GetDialogService(), &live);

    CShellService& liveShell = GetShellService();
    {
        CRecordingShellService shell;
        CScopedShellService scope(shell);
        EXPECT_EQ(&GetShellService(), &shell);
    }
    EXPECT_EQ(&GetShellService(), &liveShell);
}

TEST(ServicesLiveDialogs, HeadlessDialogsAnswerWithoutWaiting)
{
    TestApp();
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    CQtDialogService dialogs;
    // On a platform nobody looks at, exec() would never return; the test hangs if the guard fails.
    EXPECT_EQ(dialogs.MessageBox(nullptr, QStringLiteral("x"), {}, MessageIcon::Error, MessageButtons::OkCancel),
        MessageResult::Ok);
    EXPECT_EQ(dialogs.MessageBox(nullptr, QStringLiteral("x"), {}, MessageIcon::None, MessageButtons::YesNo),
        MessageResult::Yes);
    EXPECT_EQ(dialogs.GetOpenFileName(nullptr, QStringLiteral("*.vid"), {}), QString());
    EXPECT_EQ(dialogs.GetSaveFileName(nullptr, QStringLiteral("*.vid"), {}), QString());
}

TEST(ServicesFileFilter, WindowsFiltersBecomeQtFilters)
{
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("Video Files (*.vid)|*.vid||")), QStringLiteral("Video Files (*.vid)"));
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("Pictures|*.png;*.jpg|All|*.*||")),
        QStringLiteral("Pictures (*.png *.jpg);;All (*.*)"));
    // A filter without the closing "||" still yields its complete pairs.
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("Logs|*.log")), QStringLiteral("Logs (*.log)"));
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("Images (*.png *.xpm)")), QStringLiteral("Images (*.png *.xpm)"));
    EXPECT_EQ(ToQtFileFilter(QString()), QString());
}

TEST(ServicesShell, ClipboardHoldsThePicture)
{
    TestApp();
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    CQtShellService shell;
    ASSERT_TRUE(shell.SetClipboardImage(image));
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), image);
    EXPECT_FALSE(shell.SetClipboardImage(QImage()));

    CRecordingShellService recording;
    EXPECT_TRUE(recording.SetClipboardImage(image));
    EXPECT_EQ(recording.ClipboardImage(), image);
    EXPECT_EQ(recording.Lines(), QStringList({"clipboard 40x30"}));
}

TEST(ServicesShell, CaptureTakesTheWindowArea)
{
    TestApp();
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(200, 20, 40));
    window.setPalette(palette);
    window.setGeometry(30, 40, 120, 80);
    window.show();
    QCoreApplication::processEvents();

    CQtShellService shell;
    const QImage shot = shell.CaptureWindow(&window);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size() / shot.devicePixelRatio(), QSize(120, 80));
    EXPECT_EQ(QColor(shot.pixel(shot.width() / 2, shot.height() / 2)), QColor(200, 20, 40));

    // A hidden window is not on the screen; its own rendering stands in.
    window.hide();
    const QImage hidden = shell.CaptureWindow(&window);
    EXPECT_EQ(hidden.size() / hidden.devicePixelRatio(), QSize(120, 80));
    EXPECT_TRUE(shell.CaptureWindow(nullptr).isNull());

    CRecordingShellService recording;
    EXPECT_EQ(recording.CaptureWindow(&window).size(), QSize(120, 80));
    QImage preset(5, 6, QImage::Format_RGB32);
    preset.fill(Qt::black);
    recording.SetCapture(preset);
    EXPECT_EQ(recording.CaptureWindow(&window), preset);
    EXPECT_EQ(recording.Lines(), QStringList({"capture 120x80", "capture 5x6"}));
}

TEST(ServicesHooksDeathTest, FatalShowsItsMessageThroughTheDialogService)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            CRecordingDialogService dialogs;
            dialogs.SetSink([&dialogs](const QString& line) {
                const auto& call = dialogs.Calls().back();
                const bool bErrorIcon = call.icon == MessageIcon::Error && !call.bOwned;
                fprintf(stderr, "%s [%s%s]\n", qPrintable(line), qPrintable(call.strCaption),
                    bErrorIcon ? ", error icon, no owner" : "");
            });
            SetDialogService(&dialogs);
            InstallPlatformHooks();
            Logger().Fatal("cannot go on");
        },
        testing::ExitedWithCode(1), "msgbox cannot go on \\[Error, error icon, no owner\\]");
}

} // namespace
