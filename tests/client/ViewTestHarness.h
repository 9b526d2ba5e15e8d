#pragma once

// A real table view in a real game window, off screen, on the virtual clock, with fresh data
// folders and a profile of its own. The game window records every command message it gets.

#include "platform/TimerHost.h"
#include "platform/host/GameFrame.h"
#include "support/DataPaths.h"
#include "support/IniFile.h"
#include "support/Profile.h"
#include "support/TempFolder.h"
#include "view/GameClientView.h"

#include <QApplication>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace viewtest {

inline void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_client";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Message&) const = default;
};

class RecordingFrame : public CGameFrameDlg {
public:
    using CGameFrameDlg::CGameFrameDlg;

    std::vector<Message> messages;
    // Called as each command arrives, before the game window handles it.
    std::function<void(const Message&)> onMessage;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_USER) {
            const Message m{message, wParam, lParam};
            messages.push_back(m);
            if (onMessage)
                onMessage(m);
        }
        return CGameFrameDlg::WindowProc(message, wParam, lParam);
    }
};

class ViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        SetDataFolders(User(), Installed());
    }
    void TearDown() override
    {
        DestroyTable();
        ClearDataFolders();
    }

    std::filesystem::path User() const { return m_root.Path() / "home"; }
    std::filesystem::path Installed() const { return m_root.Path() / "share"; }
    std::filesystem::path SettingFile() const { return User() / "Hubra" / "GameSetting.ini"; }

    // A picture strip of four looks, each w x h, under the installed data folder.
    void InstallPicture(const std::string& relative, int w, int h, int looks = 4)
    {
        const std::filesystem::path file = Installed() / relative;
        std::filesystem::create_directories(file.parent_path());
        QImage image(w * looks, h, QImage::Format_ARGB32);
        image.fill(qRgb(200, 160, 40));
        ASSERT_TRUE(image.save(QString::fromStdString(file.string()), "PNG"));
    }

    void CreateTable(bool bShow = false)
    {
        m_view = std::make_unique<CGameClientView>(&m_profile);
        m_frame = std::make_unique<RecordingFrame>(m_view.get());
        ASSERT_TRUE(m_frame->CreateGameWindow(bShow));
        m_timers.flushPosted();
    }
    // The view writes its background when it goes, so the data folders must still be set.
    void DestroyTable()
    {
        m_frame.reset();
        m_view.reset();
    }

    CGameClientView& View() { return *m_view; }
    RecordingFrame& Frame() { return *m_frame; }

    bool Visible(UINT id) { return (View().GetButton(id)->GetStyle() & WS_VISIBLE) != 0; }
    bool Enabled(UINT id) { return View().GetButton(id)->IsWindowEnabled() != 0; }
    CRect Place(CWnd& wnd)
    {
        CRect rect;
        wnd.GetWindowRect(&rect);
        View().ScreenToClient(&rect);
        return rect;
    }
    CPoint ButtonAt(UINT id) { return Place(*View().GetButton(id)).TopLeft(); }

    VirtualTimerHost m_timers;
    ScopedTimerHost m_scopedTimers{m_timers};
    TempFolder m_root;
    ProfileStore m_profile{m_root.Path() / "config" / "qarrum.ini"};
    std::unique_ptr<CGameClientView> m_view;
    std::unique_ptr<RecordingFrame> m_frame;
};

}  // namespace viewtest
