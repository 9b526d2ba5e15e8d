// The task window beside the table and the assistant that places it: its tabs, the clock of a
// running mission, the status link, the award tab's picture, records it must not trust, its
// rounded shape and the completion animation.
#include "ViewTestHarness.h"

#include "platform/MouseInput.h"
#include "support/TextCodec.h"
#include "windows/TaskAssistant.h"

#include <QPainter>

#include <cstring>
#include <filesystem>

namespace {

constexpr QRgb kTipsRow[] = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200), qRgb(200, 200, 0)};
constexpr QRgb kDigitInk = qRgb(255, 255, 255);

TaskRecord Record(uint8_t kind, uint8_t state, int32_t left = 0)
{
    TaskRecord record{};
    record.cbTaskKind = kind;
    record.cbTaskState = state;
    record.lTimeLeft = left;
    record.lTimeLimit = left;
    return record;
}

void SetTheme(TaskRecord& record, std::string_view utf8)
{
    const std::string gbk = Utf8ToGbk(utf8);
    std::memcpy(reinterpret_cast<uint8_t*>(&record) + 32, gbk.data(), std::min<std::size_t>(gbk.size(), 42));
}

class TaskWndTest : public viewtest::ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        InstallTips();
        InstallDigits();
        InstallPicture("hubra/mission/animate_complete.png", 120, 60, 2);
        for (const char* tab : {"MissionBtn_01.png", "MissionBtn_02.png", "MissionBtn_03.png"})
            InstallPicture(std::string("Telvo/img/NewMission/") + tab, 55, 22);
        CreateTable(true);
        Frame().SetEventSink([this](const std::string& line) { events.push_back(line); });
        ASSERT_TRUE(assistant.CreateOver(&View()));
        Task().SetReporter([this](const std::string& line) { events.push_back(line); });
        Task().SetMissionOpener([this](BYTE kind) { opened.push_back(kind); });
        assistant.SetPosition(850, 330);
        assistant.ShowWindow(SW_SHOWNOACTIVATE);
        Task().ShowWindow(SW_SHOWNOACTIVATE);
        View().m_pTaskAssistant = &assistant;
    }
    void TearDown() override
    {
        View().m_pTaskAssistant = nullptr;
        ViewTest::TearDown();
    }

    CTaskWnd& Task() { return assistant.GetTaskWnd(); }

    // One row of 165 x 20 per award kind, each in its own colour.
    void InstallTips()
    {
        QImage tips(165, 80, QImage::Format_ARGB32);
        for (int row = 0; row < 4; ++row)
            QPainter(&tips).fillRect(0, row * 20, 165, 20, QColor(kTipsRow[row]));
        Save(tips, "Telvo/img/NewMission/MissionTips.png");
    }
    // The award strip at row 208: opaque 13 x 19 cells, nothing else.
    void InstallDigits()
    {
        QImage number(312, 534, QImage::Format_ARGB32);
        number.fill(Qt::transparent);
        QPainter(&number).fillRect(0, 208, 12 * 13, 19, QColor(kDigitInk));
        Save(number, "Telvo/img/Number.png");
    }
    void Save(const QImage& image, const std::string& relative)
    {
        const std::filesystem::path file = Installed() / relative;
        std::filesystem::create_directories(file.parent_path());
        ASSERT_TRUE(image.save(QString::fromStdString(file.string()), "PNG"));
    }

    std::string Dump()
    {
        CDumpContext dc;
        Task().Dump(dc);
        return dc.Text();
    }
    QRgb Pixel(int x, int y)
    {
        Task().UpdateWindow();
        return Task().GetSurface().pixel(x, y) | 0xFF000000;
    }
    void Tick(int seconds)
    {
        m_timers.advance(seconds * 1000);
        m_timers.flushPosted();
    }
    void Press(CPoint point)
    {
        ASSERT_TRUE(SimulateClick(&Task(), point));
        m_timers.flushPosted();
    }

    CTaskAssistant assistant;
    std::vector<std::string> events;
    std::vector<BYTE> opened;
};

TEST_F(TaskWndTest, TabsSwitchAndTheChosenOneIsDisabled)
{
    EXPECT_EQ(Task().GetTab(), CTaskWnd::TAB_AWARD);
    EXPECT_FALSE(SimulateControlClick(&Task(), CTaskWnd::IDC_TAB_AWARD)) << "the award tab starts chosen";

    ASSERT_TRUE(SimulateControlClick(&Task(), CTaskWnd::IDC_TAB_DAILY));
    EXPECT_EQ(Task().GetTab(), CTaskWnd::TAB_DAILY);
    EXPECT_FALSE(Task().GetDlgItem(CTaskWnd::IDC_TAB_DAILY)->IsWindowEnabled());
    EXPECT_TRUE(Task().GetDlgItem(CTaskWnd::IDC_TAB_AWARD)->IsWindowEnabled());
    // The records start offered, without a theme.
    EXPECT_NE(Dump().find("title=\"每日任务(0/0)\" status=\"任务未接\""), std::string::npos) << Dump();
    EXPECT_NE(Dump().find("theme=\"没有进行中的任务。\""), std::string::npos);

    ASSERT_TRUE(SimulateControlClick(&Task(), CTaskWnd::IDC_TAB_CHALLENGE));
    EXPECT_EQ(Task().GetShownRecord().cbTaskKind, 1);
    ASSERT_TRUE(SimulateControlClick(&Task(), CTaskWnd::IDC_TAB_AWARD));
    EXPECT_EQ(Task().GetShownRecord().cbTaskKind, 0) << "the award tab shows no record";
}

TEST_F(TaskWndTest, RunningMissionCountsDownToWaiting)
{
    Task().SetTaskRecord(Record(2, 2, 65), 100);
    Task().SelectTab(CTaskWnd::TAB_DAILY);
    EXPECT_NE(Dump().find("status=\"剩余时间: 00:01:05\" seconds=65"), std::string::npos) << Dump();
    Tick(65);
    EXPECT_NE(Dump().find("status=\"剩余时间: 00:00:00\" seconds=0"), std::string::npos) << Dump();
    Tick(1);
    EXPECT_NE(Dump().find("status=\"等待中...\""), std::string::npos) << Dump();
    EXPECT_FALSE(GetTimerHost().isTimerRunning(&Task(), CTaskWnd::IDT_DAILY_CLOCK));

    // A record that stops running stops its clock; the other kind's clock is its own.
    Task().SetTaskRecord(Record(1, 2, 10), 100);
    Task().SetTaskRecord(Record(2, 2, 10), 100);
    Task().SetTaskRecord(Record(2, 3), 100);
    Tick(3);
    EXPECT_TRUE(GetTimerHost().isTimerRunning(&Task(), CTaskWnd::IDT_CHALLENGE_CLOCK));
    EXPECT_FALSE(GetTimerHost().isTimerRunning(&Task(), CTaskWnd::IDT_DAILY_CLOCK));
    EXPECT_EQ(Task().GetRecord(1).lTimeLeft, 7);
    EXPECT_EQ(Task().GetRecord(2).lTimeLeft, 0);
}

TEST_F(TaskWndTest, RecordOfTheOtherKindWaitsUntilItsTabIsChosen)
{
    Task().SelectTab(CTaskWnd::TAB_DAILY);
    Task().RedrawWindow();
    const QImage before = Task().GetSurface().copy();
    TaskRecord challenge = Record(1, 2, 600);
    SetTheme(challenge, "连胜三局");
    Task().SetTaskRecord(challenge, 100);
    Tick(2);
    Task().UpdateWindow();
    EXPECT_EQ(Task().GetShownRecord().cbTaskKind, 2);
    EXPECT_TRUE(Task().GetSurface() == before) << "the daily tab looks as it did";
    Task().SelectTab(CTaskWnd::TAB_CHALLENGE);
    EXPECT_NE(Dump().find("title=\"挑战任务(0/0)\" status=\"剩余时间: 00:09:58\""), std::string::npos) << Dump();
    EXPECT_NE(Dump().find("theme=\"连胜三局\""), std::string::npos);
}

TEST_F(TaskWndTest, StatusIsALinkOnlyForOfferedAndFailedMissions)
{
    Task().SelectTab(CTaskWnd::TAB_CHALLENGE);
    for (BYTE state : {1, 3}) {
        Task().SetTaskRecord(Record(1, state), 100);
        Press(CPoint(70, 115));
        Press(CPoint(49, 115));
        Press(CPoint(70, 125));
    }
    EXPECT_EQ(opened, (std::vector<BYTE>{1, 1})) << "one open per link state, none just outside";

    ASSERT_TRUE(SimulateMouse(&Task(), WM_MOUSEMOVE, CPoint(105, 108)));
    EXPECT_EQ(Task().GetSafeHwnd()->cursor().shape(), Qt::PointingHandCursor);
    ASSERT_TRUE(SimulateMouse(&Task(), WM_MOUSEMOVE, CPoint(105, 130)));
    EXPECT_EQ(Task().GetSafeHwnd()->cursor().shape(), Qt::ArrowCursor);

    // State 6 reads like an offer but leads nowhere.
    opened.clear();
    Task().SetTaskRecord(Record(1, 6), 100);
    EXPECT_NE(Dump().find("status=\"任务未接\""), std::string::npos);
    Press(CPoint(70, 115));
    ASSERT_TRUE(SimulateMouse(&Task(), WM_MOUSEMOVE, CPoint(70, 115)));
    EXPECT_EQ(Task().GetSafeHwnd()->cursor().shape(), Qt::ArrowCursor);
    Task().SelectTab(CTaskWnd::TAB_AWARD);
    Press(CPoint(70, 115));
    EXPECT_TRUE(opened.empty());
}

TEST_F(TaskWndTest, AwardShowsItsTipsRowAndCentredCount)
{
    Task().SelectTab(CTaskWnd::TAB_DAILY);
    Task().ShowAward(3, 500);
    EXPECT_EQ(Task().GetTab(), CTaskWnd::TAB_AWARD);
    EXPECT_EQ(Pixel(80, 58), kTipsRow[2]);
    // Three 13-pixel cells centred on x 82: from 63 to 101.
    EXPECT_EQ(Pixel(63, 95), kDigitInk);
    EXPECT_EQ(Pixel(101, 95), kDigitInk);
    EXPECT_NE(Pixel(62, 95), kDigitInk);
    EXPECT_NE(Pixel(102, 95), kDigitInk);

    // A kind past the picture shows its last row; a negative count is no gain.
    Task().ShowAward(9, -7);
    EXPECT_EQ(Pixel(80, 58), kTipsRow[3]);
    EXPECT_EQ(Pixel(76, 95), kDigitInk);
    EXPECT_NE(Pixel(75, 95), kDigitInk);
    EXPECT_NE(Pixel(89, 95), kDigitInk) << "one cell: 0";
}

TEST_F(TaskWndTest, RecordsItCannotTrustAreBounded)
{
    const TaskRecord daily = Task().GetRecord(2);
    TaskRecord stranger = Record(3, 2, 5);
    Task().SetTaskRecord(stranger, 100);
    EXPECT_EQ(std::memcmp(&Task().GetRecord(2), &daily, sizeof(daily)), 0);
    EXPECT_FALSE(GetTimerHost().isTimerRunning(&Task(), CTaskWnd::IDT_CHALLENGE_CLOCK));
    EXPECT_FALSE(GetTimerHost().isTimerRunning(&Task(), CTaskWnd::IDT_DAILY_CLOCK));

    // A theme that fills its field without an end, progress past the total, a state past the
    // status table and a time no day holds.
    TaskRecord odd = Record(1, 250, 0x7FFFFFFF);
    std::memset(reinterpret_cast<uint8_t*>(&odd) + 32, 0xB0, 42);
    reinterpret_cast<uint8_t*>(&odd)[708] = 9;
    reinterpret_cast<uint8_t*>(&odd)[709] = 4;
    Task().SetTaskRecord(odd, 100);
    Task().SelectTab(CTaskWnd::TAB_CHALLENGE);
    Task().RedrawWindow();
    EXPECT_NE(Dump().find("title=\"挑战任务(4/4)\" status=\"\""), std::string::npos) << Dump();
    EXPECT_NE(Dump().find("theme=\"" + GbkToUtf8(std::string(42, '\xB0')) + "\""), std::string::npos);
    Task().SetTaskRecord(Record(1, 2, 0x7FFFFFFF), 100);
    EXPECT_NE(Dump().find("status=\"剩余时间: 596523:14:07\""), std::string::npos) << Dump();
    // Time already past: the first tick finds nothing left.
    Task().SetTaskRecord(Record(1, 2, -40), 100);
    Tick(1);
    EXPECT_NE(Dump().find("status=\"等待中...\""), std::string::npos) << Dump();
}

TEST_F(TaskWndTest, RoundedShapeLetsTheCornersThrough)
{
    EXPECT_FALSE(Task().PtInWindowShape(CPoint(0, 0)));
    EXPECT_FALSE(Task().PtInWindowShape(CPoint(164, 149)));
    EXPECT_TRUE(Task().PtInWindowShape(CPoint(3, 75)));
    EXPECT_TRUE(Task().PtInWindowShape(CPoint(82, 0)));
    EXPECT_TRUE(Task().PtInWindowShape(CPoint(82, 149)));
}

TEST_F(TaskWndTest, AssistantPlacesTheTaskWindowBelowItsPointAndFollows)
{
    CRect rect;
    assistant.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(850, 330, 1015, 458));
    Task().GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(850, 414));
    // The assistant shows nothing of its own: the table beneath it takes the clicks.
    EXPECT_FALSE(assistant.PtInWindowShape(CPoint(80, 40)));

    // Something moved the task window: the view's following puts it back.
    Task().SetWindowPos(nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    View().FollowHostWindow();
    Task().GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(850, 414));
    assistant.SetPosition(700, 200);
    Task().GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(700, 284));
}

TEST_F(TaskWndTest, CompletionAnimationPlaysOverThePanelUntilStopped)
{
    CAnimationDlg& cartoon = Task().GetCompletionCartoon();
    Task().PlayCompletion(true);
    m_timers.advance(1000);
    EXPECT_TRUE(cartoon.IsRunning()) << "it repeats until stopped";
    EXPECT_TRUE(cartoon.IsWindowVisible());
    CRect panel, rect;
    Task().GetWindowRect(&panel);
    cartoon.GetWindowRect(&rect);
    EXPECT_EQ(rect.CenterPoint(), panel.CenterPoint());

    // It stays on the panel when the panel moves during the run.
    assistant.SetPosition(600, 100);
    Task().GetWindowRect(&panel);
    cartoon.GetWindowRect(&rect);
    EXPECT_EQ(rect.CenterPoint(), panel.CenterPoint());

    Task().PlayCompletion(false);
    EXPECT_FALSE(cartoon.IsRunning());
    EXPECT_FALSE(cartoon.IsWindowVisible());
    Task().PlayCompletion(false);
    EXPECT_EQ(events, (std::vector<std::string>{"anim task play", "anim task stop"}));
}

}  // namespace
