// The screenshot button: the picture carries its time stamp, lands on the clipboard and as a JPEG
// on the desktop, and the player is told truthfully whether the file could be written.
#include "common/GameRunner.h"
#include "support/DataPaths.h"
#include "support/LocalTime.h"
#include "support/TempFolder.h"

#include <QImageReader>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

const QString kSaved = QStringLiteral("图片成功复制到剪贴板, 并保存到桌面");
const QString kNotSaved = QStringLiteral("图片成功复制到剪贴板, 保存到桌面失败");
const QRgb kTable = qRgb(20, 90, 40);

class ScreenshotTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDataFolders(m_home.Path(), InstalledDataFolder());
        SetLocalTimeSource([] { return LocalDateTime{2009, 3, 7, 21, 5, 9}; });
        QImage screen(1018, 702, QImage::Format_RGB32);
        screen.fill(kTable);
        m_shell.SetCapture(screen);
    }
    void TearDown() override
    {
        SetLocalTimeSource({});
        ClearDataFolders();
    }

    void PressSnap()
    {
        m_runner.Dlg().SendMessage(WM_COMMAND, MAKEWPARAM(CGameClientDlg::IDC_SNAP, BN_CLICKED), 0);
    }
    QString LastMessage()
    {
        const auto& calls = m_runner.Dialogs().Calls();
        return calls.empty() ? QString() : calls.back().strText;
    }

    TempFolder m_home;
    scripted::GameRunner m_runner;
    CRecordingShellService m_shell;
    CScopedShellService m_scopedShell{m_shell};
};

TEST_F(ScreenshotTest, StampedPictureGoesToClipboardAndDesktopAsJpeg)
{
    const std::filesystem::path desktop = m_home.Path() / "Desktop";
    std::filesystem::create_directories(desktop);
    m_shell.SetDesktopFolder(QString::fromStdString(desktop.string()));
    PressSnap();

    const QImage& clip = m_shell.ClipboardImage();
    ASSERT_EQ(clip.size(), QSize(1018, 702));
    // The time text is white and starts at (400, 8); the rest of the picture is what the screen showed.
    int white = 0;
    for (int y = 8; y < 30; ++y) {
        for (int x = 400; x < 560; ++x)
            white += qGray(clip.pixel(x, y)) > 200;
    }
    EXPECT_GT(white, 30);
    for (const QPoint point : {QPoint(399, 10), QPoint(10, 10), QPoint(600, 400), QPoint(450, 6)})
        EXPECT_EQ(clip.pixel(point) & 0xFFFFFF, kTable & 0xFFFFFF) << point.x() << ',' << point.y();

    const std::filesystem::path file = desktop / "Qarrum-2009-03-07 21-05-09.jpg";
    ASSERT_TRUE(std::filesystem::exists(file));
    QImageReader reader(QString::fromStdString(file.string()));
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.size(), QSize(1018, 702));
    EXPECT_EQ(LastMessage(), kSaved);
    EXPECT_TRUE(m_runner.Dialogs().Calls().back().bOwned);
}

TEST_F(ScreenshotTest, DesktopThatCannotBeWrittenIsReportedButClipboardStillHasThePicture)
{
    // A desktop below a plain file can neither exist nor be made.
    const std::filesystem::path blocker = m_home.Path() / "blocker";
    std::ofstream(blocker) << "x";
    m_shell.SetDesktopFolder(QString::fromStdString((blocker / "Desktop").string()));
    PressSnap();

    EXPECT_EQ(m_shell.ClipboardImage().size(), QSize(1018, 702));
    EXPECT_EQ(LastMessage(), kNotSaved);
}

TEST_F(ScreenshotTest, MissingDesktopIsNotCreated)
{
    const std::filesystem::path desktop = m_home.Path() / "NoDesktop";
    m_shell.SetDesktopFolder(QString::fromStdString(desktop.string()));
    PressSnap();

    EXPECT_FALSE(std::filesystem::exists(desktop));
    EXPECT_EQ(LastMessage(), kNotSaved);
}

}  // namespace
