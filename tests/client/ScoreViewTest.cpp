// The result window: what it keeps of a game end, its timeline (reveal, arming, automatic close),
// its buttons and the press-anywhere continue.
#include "ViewTestHarness.h"

#include "interaction/Commands.h"
#include "platform/MouseInput.h"
#include "platform/sound/RecordingSoundBackend.h"
#include "windows/ScoreView.h"

#include <cstring>
#include <limits>

namespace {

using viewtest::Message;

// A game end as the controller hands it over. Chair 1 is the local player.
struct GameEnd {
    WORD wGameType = 0;
    LONG lFee = 5;
    LONG lScore[3] = {-20, 40, -20};
    WORD wLordUser = 1;
    WORD wMeChairID = 1;
    WORD wBombCount = 0;
    BYTE cbFirstBang = 0;
    LONG lEndKind = 0;
    BYTE cbTaskFlag = 0;
    LONG lCellScore = 5;
    MatchStatus match = {};
};

class ScoreViewTest : public viewtest::ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        InstallPicture("Telvo/img/GameEnd/btQuit.png", 80, 30);
        InstallPicture("Telvo/img/GameEnd/btStart.png", 100, 36);
        InstallPicture("Telvo/img/btSaveVideo.png", 100, 36);
        CreateTable(true);
        Frame().SetEventSink([this](const std::string& line) { events.push_back(line); });
        ASSERT_TRUE(score.Create(CScoreView::IDD, &View()));
        score.ShowWindow(SW_SHOW);
        for (WORD chair = 0; chair < 3; ++chair) {
            std::snprintf(users[chair].szName, sizeof(users[chair].szName), "玩家%u", chair);
            users[chair].lGold = 1000 + chair;
            users[chair].lLottery = 50 + chair;
        }
    }

    void Fill(const GameEnd& end)
    {
        for (WORD chair = 0; chair < 3; ++chair)
            score.SetGameScore(chair, users[chair].szName, end.lScore[chair], 0);
        const tagUserData* records[3] = {&users[0], &users[1], &users[2]};
        score.SetUserData(records);
        GameEndRecord record{};
        if (end.wMeChairID < 3)
            record.cbTaskFlag[end.wMeChairID] = end.cbTaskFlag;
        record.lPenaltyKind[2] = 1;
        const BYTE jiaBang[3] = {0, 1, 1};
        const BYTE reachTop[3] = {0, 0, 1};
        score.SetGameEndInfo(end.wGameType, end.lFee, end.wBombCount, 0, end.lCellScore, 3, end.wLordUser, end.cbFirstBang, 0, 0,
            end.lEndKind, end.match, end.wMeChairID, record, jiaBang, 2, reachTop, 77);
    }

    bool Closed() const { return std::find(events.begin(), events.end(), "close") != events.end(); }
    bool NextGameAsked() const
    {
        return std::find(Frame().messages.begin(), Frame().messages.end(), Message{UM_NEXT_GAME, 0, 0}) != Frame().messages.end();
    }
    const viewtest::RecordingFrame& Frame() const { return *m_frame; }
    using ViewTest::Frame;

    void Press(CPoint point)
    {
        ASSERT_TRUE(SimulateClick(&score, point));
        m_timers.flushPosted();
    }
    CPoint Centre(CWnd& button)
    {
        CRect rect;
        button.GetWindowRect(&rect);
        score.ScreenToClient(&rect);
        return rect.CenterPoint();
    }
    // What the coin stream did last ("sound stream VERB PATH ...").
    std::string CoinSound() const
    {
        std::string last;
        for (const QString& line : sound.Lines()) {
            if (line.contains(QStringLiteral("coin.mp3")))
                last = line.section(QLatin1Char(' '), 2, 2).toStdString();
        }
        return last;
    }
    int Fireworks() const { return static_cast<int>(sound.Lines().count("sound effect telvo\\sound\\firework.mp3")); }

    CRecordingSoundBackend sound;
    CScopedSoundBackend scopedSound{sound};
    tagUserData users[3];
    std::vector<std::string> events;
    CScoreView score;
};

TEST_F(ScoreViewTest, KeepsWhatTheControllerHandsOver)
{
    GameEnd end;
    end.wBombCount = 0x103;  // only the low byte counts
    end.cbFirstBang = 1;
    end.lEndKind = 2;
    end.lCellScore = 10;
    Fill(end);
    score.SetMatchScore(3, 12);
    score.SetTaskLottery(9);

    // A plain room with a cell score of 10 is a prize room; the fee comes off every score, the
    // size of the local score is taken before it.
    CDumpContext dc;
    score.Dump(dc);
    EXPECT_EQ(dc.Text(),
        "m_wGameType=100 m_lServiceFee=5 m_lCellScore=10 m_cbSecondValue=3 m_wLordUser=1 m_wMeChairID=1 "
        "m_szName=\"玩家0\",\"玩家1\",\"玩家2\" m_lScore=-25,35,-25 m_cbWinFlag=0,0,0 m_cbMultiple=1,0,0,1,3,0,0,1 "
        "m_cbJiaBang=0,1,1 m_wJiaBangUser=2 m_cbReachTop=0,0,1 m_GameEnd.lPenaltyKind=0,0,1 m_GameEnd.cbTaskFlag=0,0,0 "
        "m_lLotteryPercent=77 m_lMatchNumber1=3 m_lMatchNumber2=12 m_lTaskLottery=9 m_lCoinBalance=1001 "
        "m_lLotteryBalance=51 m_lAbsScore=40 m_MatchClock=0,0 m_cbRevealRow=0 m_bRevealing=0 m_bFirework=0 "
        "m_bAbsScoreShown=0 m_bLocalScoreShown=0 m_cbPointsStep=0 m_bCountUp=0 m_lScoreRemain=0 m_lLotteryRemain=0 "
        "m_bAnyInput=0 m_bBlink=0 buttons=1001:VE,1002:VE,1003:VE");

    // Chairs past the table are ignored; long names are cut to 31 bytes without splitting a character.
    score.SetGameScore(3, "x", 1, 1);
    score.SetGameScore(0, "一二三四五六七八九十一二三四", 1, 1);
    EXPECT_STREQ(score.m_szName[0], "一二三四五六七八九十");
}

TEST_F(ScoreViewTest, UserRecordsAreCopiesThatOutliveTheHostsOwn)
{
    Frame().SetUserData(1, &users[1]);
    const tagUserData* records[3] = {nullptr, Frame().GetUserData(1), nullptr};
    score.SetUserData(records);
    tagUserData richer = users[1];
    richer.lGold = 99999;
    Frame().SetUserData(1, &richer);  // the host replaces its record
    GameEndRecord record{};
    const MatchStatus match{};
    score.SetGameEndInfo(0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, match, 1, record, nullptr, 0, nullptr, 0);
    EXPECT_EQ(score.m_lCoinBalance, 1001);
    EXPECT_FALSE(score.m_UserData[0]);
}

TEST_F(ScoreViewTest, RoomTypesDecideTheFeeAndTheQuitButton)
{
    GameEnd end;
    end.wGameType = ROOM_NO_FEE;
    Fill(end);
    EXPECT_EQ(score.m_lServiceFee, 0);
    EXPECT_EQ(score.m_lScore[1], 40);

    end.wGameType = ROOM_MATCH;
    Fill(end);
    EXPECT_FALSE(score.GetQuitButton().IsWindowVisible()) << "a match round cannot be left from here";
    end.wGameType = 0;
    Fill(end);
    EXPECT_TRUE(score.GetQuitButton().IsWindowVisible());
}

TEST_F(ScoreViewTest, ALocalChairOffTheTableReadsNoSeat)
{
    GameEnd end;
    end.wMeChairID = 7;
    end.wLordUser = 7;
    end.cbTaskFlag = 4;
    Fill(end);
    EXPECT_EQ(score.m_lAbsScore, 0);
    EXPECT_EQ(score.m_cbMultiple[3], 0);
    EXPECT_EQ(score.m_lCoinBalance, 0);
    score.StartScoreAnimation();
    m_timers.advance(4600);
    EXPECT_TRUE(score.m_bAnyInput) << "no local score counts as no win";
    m_timers.advance(25000 - 4600);
    EXPECT_TRUE(Closed()) << "and no status byte shortens the wait";
}

TEST_F(ScoreViewTest, AWinRevealsItsRowsThenArmsTheInputAfterNineSecondsAndClosesAfterTwentyFive)
{
    GameEnd end;
    end.wBombCount = 1;
    end.cbFirstBang = 1;  // rows 0, 3 (the local landlord) and 4 are set
    Fill(end);
    score.StartScoreAnimation();

    m_timers.advance(1999);
    EXPECT_EQ(Fireworks(), 3);
    EXPECT_EQ(score.m_cbRevealRow, 5);
    EXPECT_TRUE(score.m_bRevealing);
    EXPECT_FALSE(score.m_bAbsScoreShown);
    m_timers.advance(1);
    EXPECT_FALSE(score.m_bRevealing);
    EXPECT_TRUE(score.m_bAbsScoreShown);
    m_timers.advance(200);
    EXPECT_TRUE(score.m_bLocalScoreShown);
    m_timers.advance(400);
    EXPECT_EQ(score.m_cbPointsStep, 4);
    EXPECT_FALSE(score.m_bCountUp) << "only a prize room counts the balances up";

    m_timers.advance(9599 - 2600);
    EXPECT_FALSE(score.m_bAnyInput);
    m_timers.advance(1);
    EXPECT_TRUE(score.m_bAnyInput);
    EXPECT_TRUE(score.m_bBlink);
    m_timers.advance(600);
    EXPECT_FALSE(score.m_bBlink);

    m_timers.advance(24999 - 10200);
    EXPECT_FALSE(Closed());
    m_timers.advance(1);
    EXPECT_TRUE(Closed());
    EXPECT_FALSE(NextGameAsked());
}

TEST_F(ScoreViewTest, ALossArmsAfterFourSecondsAndALeavingPlayerClosesAfterTen)
{
    GameEnd end;
    end.wLordUser = 0;
    end.lScore[1] = 5;  // 0 after the fee: no win
    end.cbTaskFlag = 4;
    Fill(end);
    score.StartScoreAnimation();
    m_timers.advance(500);
    EXPECT_TRUE(score.m_bAbsScoreShown) << "no row to reveal ends the reveal at its first tick";
    EXPECT_EQ(Fireworks(), 0);
    m_timers.advance(4099);
    EXPECT_FALSE(score.m_bAnyInput);
    m_timers.advance(1);
    EXPECT_TRUE(score.m_bAnyInput);
    m_timers.advance(9999 - 4600);
    EXPECT_FALSE(Closed());
    m_timers.advance(1);
    EXPECT_TRUE(Closed());
}

TEST_F(ScoreViewTest, APrizeRoomCountsTheScoreAndTheTaskLotteryIntoTheBalances)
{
    GameEnd end;
    end.wGameType = 4;
    end.lFee = 0;
    Fill(end);
    score.SetTaskLottery(3);
    score.StartScoreAnimation();
    // Reveal of row 3 and its end (1 s), local score (1.2 s), balance steps (1.6 s), 2 s wait.
    m_timers.advance(3599);
    EXPECT_EQ(score.m_cbPointsStep, 4);
    EXPECT_FALSE(score.m_bCountUp);
    EXPECT_EQ(CoinSound(), "open") << "the coins are quiet until the count";
    m_timers.advance(1);
    EXPECT_TRUE(score.m_bCountUp);
    EXPECT_EQ(CoinSound(), "play");
    EXPECT_EQ(score.m_lScoreRemain, 40);
    EXPECT_EQ(score.m_lLotteryRemain, 3);
    // Steps of 0, 1, 1, 2: the count speeds up.
    m_timers.advance(4 * 60);
    EXPECT_EQ(score.m_lScoreRemain, 36);
    EXPECT_EQ(score.m_lLotteryRemain, 0);
    m_timers.advance(2000);
    EXPECT_EQ(score.m_lScoreRemain, 0);
    EXPECT_EQ(score.m_nCountSpeed, 0) << "the count stopped once both were done";
    EXPECT_EQ(CoinSound(), "pause");
}

TEST_F(ScoreViewTest, TheTimedMatchRunsBothClocksUntilTheFirstEnds)
{
    GameEnd end;
    end.wGameType = ROOM_TIMED_MATCH;
    end.match.wMinutes = 29;
    end.match.wSeconds = 30;
    Fill(end);
    m_timers.advance(10000);
    EXPECT_EQ(score.m_MatchClock[0].GetRemaining(), 20);
    EXPECT_EQ(score.m_MatchClock[1].GetRemaining(), 20);
    m_timers.advance(20000);
    EXPECT_EQ(score.m_MatchClock[0].GetRemaining(), 0);
    EXPECT_FALSE(score.m_MatchClock[0].IsActive());
    EXPECT_EQ(score.m_MatchClock[1].GetRemaining(), 1) << "the second is not ticked once the first has run out";
}

TEST_F(ScoreViewTest, ButtonsLeaveContinueAndSaveOnce)
{
    Fill(GameEnd{});
    Press(Centre(score.GetSaveVideoButton()));
    EXPECT_FALSE(score.GetSaveVideoButton().IsWindowEnabled());
    EXPECT_TRUE(Frame().messages.empty());

    Press(Centre(score.GetStartButton()));
    EXPECT_TRUE(NextGameAsked());
    EXPECT_FALSE(Closed());
    EXPECT_STREQ(score.m_szName[1], "") << "continuing forgets the game";
    EXPECT_EQ(score.m_lScore[1], 0);
    EXPECT_TRUE(score.GetSaveVideoButton().IsWindowEnabled()) << "the next game can be saved again";

    Press(Centre(score.GetQuitButton()));
    EXPECT_TRUE(Closed());
}

TEST_F(ScoreViewTest, ContinuingClosesTheTableForAPlayerWhoseStatusEndsIt)
{
    GameEnd end;
    end.cbTaskFlag = 3;
    Fill(end);
    Press(Centre(score.GetStartButton()));
    EXPECT_TRUE(Closed());
    EXPECT_FALSE(NextGameAsked());
}

TEST_F(ScoreViewTest, OnceArmedAnyPressOrKeyActsByWhereThePointerIs)
{
    const CPoint background(300, 100);
    Fill(GameEnd{});
    score.StartScoreAnimation();
    Press(background);
    score.DispatchQueuedMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    m_timers.flushPosted();
    EXPECT_TRUE(Frame().messages.empty()) << "before arming a press on the picture does nothing";
    EXPECT_TRUE(score.IsWindowVisible()) << "and Escape does not hide the window";

    m_timers.advance(9600);
    Press(background);
    EXPECT_TRUE(NextGameAsked());
    EXPECT_FALSE(score.m_bAnyInput);
    Frame().messages.clear();
    Press(background);
    EXPECT_TRUE(Frame().messages.empty()) << "continuing disarms";
    m_timers.advance(30000);
    EXPECT_FALSE(Closed()) << "and stops the automatic close";

    // A key press acts where the pointer last was: over the save button, it saves.
    Fill(GameEnd{});
    score.StartScoreAnimation();
    m_timers.advance(9600);
    ASSERT_TRUE(SimulateMouse(&score, WM_MOUSEMOVE, Centre(score.GetSaveVideoButton())));
    score.DispatchQueuedMessage(WM_KEYDOWN, 'A', 0);
    m_timers.flushPosted();
    EXPECT_FALSE(score.GetSaveVideoButton().IsWindowEnabled());
    EXPECT_TRUE(Frame().messages.empty());
    EXPECT_TRUE(score.m_bAnyInput) << "saving does not continue";
    // Over the save button once it is off, a press continues.
    Press(Centre(score.GetSaveVideoButton()));
    EXPECT_TRUE(NextGameAsked());

    Fill(GameEnd{});
    score.StartScoreAnimation();
    m_timers.advance(9600);
    Press(Centre(score.GetQuitButton()));
    EXPECT_TRUE(Closed());
}

}  // namespace

namespace {

// Values at their limits reach every part of the picture: the strips, the face sheet, the marks
// and the bars are indexed only inside their pictures, and numbers past their areas stop at them.
TEST_F(ScoreViewTest, NumbersAndRecordsAtTheirLimitsPaintInsideThePictures)
{
    SetDataFolders(User(), InstalledDataFolder());
    CScoreView extreme;
    ASSERT_TRUE(extreme.Create(CScoreView::IDD, &View()));
    extreme.ShowWindow(SW_SHOW);
    tagUserData odd[3];
    const LONG scores[3] = {std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max(), 0};
    for (WORD chair = 0; chair < 3; ++chair) {
        std::memset(odd[chair].szName, 'W', sizeof(odd[chair].szName));
        std::memset(odd[chair].szRegion, 0xB0, sizeof(odd[chair].szRegion));
        odd[chair].cbGender = 0xFF;
        odd[chair].dwLevel = 0xFFFFFFFF;
        odd[chair].lGold = std::numeric_limits<LONG>::min();
        odd[chair].lLottery = std::numeric_limits<LONG>::max();
        extreme.SetGameScore(chair, odd[chair].szName, scores[chair], 0xFF);
    }
    const tagUserData* records[3] = {&odd[0], &odd[1], &odd[2]};
    extreme.SetUserData(records);
    GameEndRecord record{};
    for (int chair = 0; chair < 3; ++chair)
        record.lPenaltyKind[chair] = -1;
    const BYTE all[3] = {0xFF, 0xFF, 0xFF};
    for (const WORD type : {WORD{1}, WORD{5}, WORD{3}, WORD{100}, WORD{0xFFFF}}) {
        extreme.SetGameEndInfo(type, std::numeric_limits<LONG>::min(), 0xFFFF, 0xFFFF, std::numeric_limits<LONG>::max(), 0xFF, 0, 0xFF,
            0xFF, 0xFF, 2, MatchStatus{}, 0, record, all, 0xFFFF, all, std::numeric_limits<LONG>::min());
        extreme.SetMatchScore(std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max());
        extreme.SetTaskLottery(std::numeric_limits<LONG>::min());
        extreme.StartScoreAnimation();
        for (int step = 0; step < 200; ++step) {
            m_timers.advance(100);
            extreme.UpdateWindow();
        }
        extreme.m_bCountUp = true;
        extreme.m_lScoreRemain = std::numeric_limits<LONG>::min();
        extreme.RedrawWindow();
        EXPECT_EQ(extreme.GetSurface().size(), QSize(CScoreView::kWidth, CScoreView::kHeight));
    }
}

}  // namespace
