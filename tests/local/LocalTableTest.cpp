// A table played on this machine: the real game window against the engine and two bots, on the
// virtual clock. The local player is put in trustee, so the window's own automatic play acts for
// it; whole games must end without a refused move, and the window's hand must agree with the
// engine's at every moment.
#include <QApplication>

#include <gtest/gtest.h>

#include "app/GameClientApp.h"
#include "app/GameClientDlg.h"
#include "interaction/Commands.h"
#include "local/LocalTable.h"
#include "platform/ServicesRecording.h"
#include "platform/TimerHost.h"
#include "platform/sound/RecordingSoundBackend.h"
#include "support/DataPaths.h"
#include "support/TempFolder.h"

namespace {

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_local";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

class LocalTableTest : public testing::TestWithParam<uint32_t> {
protected:
    void SetUp() override
    {
        EnsureApplication();
        SetDataFolders(m_home.Path(), InstalledDataFolder());
        SetDialogService(&m_dialogs);
        SetShellService(&m_shell);
        SetSoundBackend(&m_sound);
        SeedClientRandom(0);
        g_bReplayMode = true;
    }
    void TearDown() override
    {
        SetSoundBackend(nullptr);
        SetShellService(nullptr);
        SetDialogService(nullptr);
        ClearDataFolders();
        g_bReplayMode = true;
    }

    TempFolder m_home;
    VirtualTimerHost m_clock;
    ScopedTimerHost m_scoped{m_clock};
    CRecordingDialogService m_dialogs;
    CRecordingShellService m_shell;
    CRecordingSoundBackend m_sound;
};

TEST_P(LocalTableTest, TrusteePlayerAndBotsFinishGamesThatBothSidesAgreeOn)
{
    CGameClientDlg dlg;
    ASSERT_TRUE(dlg.CreateGameWindow(true));
    LocalTableOptions options;
    options.seed = GetParam();
    options.botThinkMs = 0;
    CLocalTable table(dlg, options);
    if (getenv("QARRUM_TRACE_LOCAL"))
        dlg.SetEventSink([&](const std::string& line) { fprintf(stderr, "%lld %s\n", (long long)m_clock.now(), line.c_str()); });
    m_clock.flushPosted();
    EXPECT_FALSE(g_bReplayMode) << "the table's first snapshot makes the window live";

    for (int game = 1; game <= 2; ++game) {
        dlg.SendMessage(UM_START, 0, 0);
        dlg.SendMessage(UM_TRUSTEE, 1, 1);
        for (int step = 0; step < 4000 && table.Engine().gamesPlayed() < static_cast<uint32_t>(game); ++step) {
            m_clock.advance(100);
            // The window's hand is the engine's hand of its chair, card for card, once dealt.
            if (table.Engine().phase() == server::Phase::Playing && dlg.m_cbDealLeft == 0) {
                const auto hand = table.Engine().hand(CLocalTable::kLocalChair);
                ASSERT_EQ(dlg.m_cbHandCount, hand.size()) << "game " << game << " step " << step;
            }
        }
        ASSERT_EQ(table.Engine().gamesPlayed(), static_cast<uint32_t>(game)) << "game " << game << " did not end";
        EXPECT_EQ(table.RefusedCount(), 0);
        // The game end holds what the local chair had left; so does the window.
        m_clock.advance(1000);
        EXPECT_EQ(dlg.m_cbHandCount, dlg.m_GameEnd.cbCardCount[CLocalTable::kLocalChair]);
        m_clock.advance(7000);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, LocalTableTest, testing::Values(1u, 2u, 3u, 4u, 5u));

}  // namespace
