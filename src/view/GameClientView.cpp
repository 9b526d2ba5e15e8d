// The table view's state: construction and pictures, the setters the game window drives the table
// with, the reset between games and the table background kept in the platform's settings file.
#include "view/GameClientView.h"

#include "support/DataPaths.h"
#include "support/IniFile.h"

#include <cstdlib>
#include <cstring>
#include <string>

BYTE g_cbCounterMode = 0;
bool g_bCardCounter = false;

namespace {

// The flip picture of the back cards is a resource of the program.
constexpr UINT IDB_BACK_FLIP = 244;
constexpr int kPanelImageWidth = 274;
constexpr int kPanelImageHeight = 72;

constexpr const char* kBackgroundPictures[CGameClientView::kBackgrounds] = {
    "telvo\\img\\bg_green.jpg",
    "telvo\\img\\bg_Red.jpg",
    "telvo\\img\\bg_Purple.jpg",
    "telvo\\img\\bg_Blue.jpg",
};

// By result code.
constexpr const char* kChangeScorePictures[CGameClientView::kChangeScoreCodes] = {
    "telvo\\img\\ChangeScore\\Change_Success.png",
    "telvo\\img\\ChangeScore\\Change_NoCoin.png",
    "telvo\\img\\ChangeScore\\Change_ErrorScore.png",
    "telvo\\img\\ChangeScore\\Change_NoneItem.png",
};

}  // namespace

WORD BackgroundIndexFromText(std::string_view text)
{
    WORD wIndex = static_cast<WORD>(AtoiLike(text));
    if (wIndex >= CGameClientView::kBackgrounds)
        wIndex = static_cast<WORD>(std::abs(static_cast<int>(wIndex)) % CGameClientView::kBackgrounds);
    return wIndex;
}

// ---- Construction ------------------------------------------------------------------------------------

CGameClientView::CGameClientView(ProfileStore* pProfile)
    : CGameFrameView(true, 24, nullptr), m_pProfile(pProfile ? pProfile : &m_OwnProfile)
{
    ReadBackgroundIndex();
    LoadPictures();
    m_ImageBackFlip.SetLoadInfo(IDB_BACK_FLIP, nullptr, false);
    m_ImageScorePanel.Create(kPanelImageWidth, kPanelImageHeight, 32);
    m_ImageMatchPanel.Create(kPanelImageWidth, kPanelImageHeight, 32);
    // Four of each rank are still to be played, one of each joker.
    for (int slot = 0; slot < COUNTER_SLOTS; ++slot) {
        m_cbOutCount[slot] = 0;
        m_cbLeftCount[slot] = slot >= 13 ? 1 : 4;
    }
}

CGameClientView::~CGameClientView()
{
    WriteBackgroundIndex();
}

void CGameClientView::LoadPictures()
{
    for (int i = 0; i < kBackgrounds; ++i)
        m_ImageBackground[i].Load(kBackgroundPictures[i]);
    m_PngPrizeBack.LoadImage("Telvo\\img\\PrizeBack.png");
    m_PngNumber.LoadImage("Telvo\\img\\Number.png");
    m_PngFaceBackGround.LoadImage("Telvo\\img\\FaceBackGround.png");
    m_PngDeskInfo.LoadImage("Telvo\\img\\DeskInfo.png");
    m_PngChat.LoadImage("Telvo\\img\\Chat.png");
    m_PngAutoPlay.LoadImage("Telvo\\img\\AutoPlay.png");
    m_PngCallScoreBtBG.LoadImage("Telvo\\img\\CallScoreBtBG.png");
    m_PngScoreBG.LoadImage("Telvo\\img\\ScoreBG.png");
    m_ImageRole.Load("Telvo\\img\\Role.bmp");
    m_PngJiaBang.LoadImage("Telvo\\img\\JiaBang.png");
    m_PngCardBackSmall.LoadImage("Telvo\\img\\CardBackSmall.png");
    m_PngNoBigCard.LoadImage("Telvo\\img\\NoBigCard.png");
    m_PngScore.LoadImage("Telvo\\img\\SCORE.png");
    m_PngCallScoreBG.LoadImage("Telvo\\img\\CallScoreBG.png");
    m_PngShortCutButtonBG.LoadImage("telvo\\img\\ShortCutButtonBG.png");
    m_PngHistoryCardBg.LoadImage("Telvo\\img\\HistoryCard\\HistoryCardBg.png");
    m_PngRightDownBG.LoadImage("Telvo\\img\\RightDownBG.png");
    m_PngInformationBG.LoadImage("Telvo\\img\\InformationBG.png");
    m_PngTrustee.LoadImage("telvo\\img\\trustee.png");
    m_PngChatFlash.LoadImage("telvo\\img\\chatflash.png");
    m_PngRankStatus.LoadImage("telvo\\img\\rankstatus.png");
    m_PngWaitCallScore.LoadImage("telvo\\img\\waitcallscore.png");
    m_PngHistoryCardNumb.LoadImage("Telvo\\img\\HistoryCard\\HistoryCardNumb.png");
    m_PngHistoryCardFrame.LoadImage("Telvo\\img\\HistoryCard\\HistoryCardFrame.png");
    m_PngUserOffline.LoadImage("telvo\\img\\useroffline.png");
    m_PngRollNumber.LoadImage("telvo\\img\\rollnumber.png");
    m_PngAlarm.LoadImage("telvo\\img\\alarm.png");
    m_PngTop.LoadImage("telvo\\img\\Top.png");
    m_ImageTaskCartoon.Load("telvo\\img\\NewMission\\TaskCartoon.bmp");
    m_PngAddAward.LoadImage("telvo\\img\\AddAward.png");
    for (int code = 0; code < kChangeScoreCodes; ++code)
        m_PngChangeScore[code].LoadImage(kChangeScorePictures[code]);
    m_PngPrizeInfo.LoadImage("telvo\\img\\Prize_Infomation.png");
    m_PngMatchInfo.LoadImage("telvo\\img\\Match_Infomation.png");
}

// ---- Background index ----------------------------------------------------------------------------------

void CGameClientView::ReadBackgroundIndex()
{
    // Without the file the table is green; the write at the end creates it.
    if (!ResolveForReading(kGameSettingFile)) {
        m_wBackground = 0;
        return;
    }
    m_wBackground = BackgroundIndexFromText(GetPrivateProfileString("Qarrum", "GameBgIndex", "0", 100, kGameSettingFile));
}

void CGameClientView::WriteBackgroundIndex() const
{
    WritePrivateProfileString("Qarrum", "GameBgIndex", std::to_string(m_wBackground), kGameSettingFile);
}

void CGameClientView::NextBackground()
{
    m_wBackground = m_wBackground + 1 >= kBackgrounds ? 0 : static_cast<WORD>(m_wBackground + 1);
    // The side card backs come back with the cache; the notice blinks over the new colour.
    PaintBackground();
    SaveNoticeBackground();
    Redraw();
}

// ---- Setters --------------------------------------------------------------------------------------------

void CGameClientView::Redraw()
{
    UpdateGameView(nullptr);
}

namespace {

// Applies a value to one seat, or to every seat for INVALID_SEAT; other seat numbers change
// nothing (they would index past the seat arrays).
template <typename T, typename V>
bool SetSeatValue(T (&values)[CGameClientView::kSeats], WORD wSeat, V value)
{
    if (wSeat == INVALID_SEAT) {
        for (T& v : values)
            v = static_cast<T>(value);
        return true;
    }
    if (wSeat >= CGameClientView::kSeats)
        return false;
    values[wSeat] = static_cast<T>(value);
    return true;
}

}  // namespace

void CGameClientView::SetMultiple(WORD wMultiple)
{
    m_wMultiple = wMultiple;
    Redraw();
}

void CGameClientView::SetBaseScore(LONG lBaseScore)
{
    m_lBaseScore = lBaseScore;
}

void CGameClientView::ShowWaitCallScore(bool bShow)
{
    m_bWaitCallScore = bShow ? 1 : 0;
    Redraw();
}

void CGameClientView::MarkSeatPassed(WORD wSeat, bool bPassed)
{
    if (SetSeatValue(m_bSeatPassed, wSeat, bPassed ? 1 : 0))
        Redraw();
}

void CGameClientView::SetSeatCardsLeft(WORD wSeat, BYTE cbCount)
{
    if (SetSeatValue(m_cbCardsLeft, wSeat, cbCount))
        Redraw();
}

void CGameClientView::SetSeatBid(WORD wSeat, BYTE cbBid)
{
    // Clearing every seat is the only use of INVALID_SEAT here, so the bid given does not matter.
    if (SetSeatValue(m_cbSeatBid, wSeat, wSeat == INVALID_SEAT ? 0 : cbBid))
        Redraw();
}

void CGameClientView::MarkSeatTrustee(WORD wSeat, bool bTrustee)
{
    if (SetSeatValue(m_bSeatTrustee, wSeat, bTrustee ? 1 : 0))
        Redraw();
}

void CGameClientView::MarkSeatOffline(WORD wSeat, bool bOffline)
{
    if (SetSeatValue(m_bSeatOffline, wSeat, bOffline ? 1 : 0))
        Redraw();
}

void CGameClientView::SetLord(WORD wSeat, BYTE cbBid)
{
    SetLordSeat(wSeat);
    m_cbLordBid = cbBid;
}

void CGameClientView::SetLordSeat(WORD wSeat)
{
    m_wLordSeat = wSeat < kSeats ? wSeat : INVALID_SEAT;
}

void CGameClientView::SetClockwiseOrder(bool bClockwise)
{
    const BYTE flag = bClockwise ? 1 : 0;
    if (flag == m_bClockwiseOrder)
        return;
    m_bClockwiseOrder = flag;
    m_pProfile->WriteProfileInt("GameOption", "DeasilOrder", flag);
    if (IsWindow()) {
        CRect rect;
        GetClientRect(&rect);
        LayoutTableView(rect.Width(), rect.Height());
    }
    Redraw();
}

void CGameClientView::ShowSideCardBacks(bool bShow)
{
    m_bShowCardsLeft = bShow ? 1 : 0;
    if (bShow == m_bSideBacksInCache)
        return;
    m_bSideBacksInCache = bShow;
    DrawSideBacks();
    Redraw();
}

// ---- Reset ----------------------------------------------------------------------------------------------

void CGameClientView::ResetTableView()
{
    for (int seat = 0; seat < kSeats; ++seat) {
        m_UserSnapshot[seat] = tagUserData{};
        m_bSnapshotTaken[seat] = false;
    }
    m_lBaseScore = 0;
    m_wMultiple = 1;
    m_cbLordBid = 0;
    m_wLordSeat = INVALID_SEAT;
    PaintBackground();
    m_bWaitCallScore = 0;
    std::memset(m_bSeatPassed, 0, sizeof(m_bSeatPassed));
    std::memset(m_cbSeatBid, 0, sizeof(m_cbSeatBid));
    std::memset(m_cbCardsLeft, 0, sizeof(m_cbCardsLeft));
    std::memset(m_bSeatTrustee, 0, sizeof(m_bSeatTrustee));
    std::memset(m_bSeatOffline, 0, sizeof(m_bSeatOffline));
    std::memset(m_bSeatBang, 0, sizeof(m_bSeatBang));
    m_wBangSeat = INVALID_SEAT;
    if (m_pTrusteeCover && m_pTrusteeCover->IsWindow())
        m_pTrusteeCover->ShowWindow(SW_HIDE);

    if (IsWindow()) {
        for (CPngButton* button : {&m_btOutCard, &m_btPassCard, &m_btGiveUpScore, &m_btAutoOutCard, &m_btThreeScore,
                 &m_btAutoPlayOff})
            button->ShowWindow(SW_HIDE);
        m_btAutoPlayOn.ShowWindow(SW_SHOW);
        for (CPngButton* button : {&m_btOutCard, &m_btPassCard, &m_btAutoOutCard, &m_btSortCard, &m_btLastTurn})
            button->EnableWindow(FALSE);
        m_btSortCard.SetButtonImage("Telvo\\img\\btCountSort.png");
        m_btLastTurn.SetButtonImage("Telvo\\img\\btLastTurn.png");
        m_btVideoReplay.SetButtonImage("Telvo\\img\\btVideoReplay.png");
    }
    ShowSideCardBacks(false);

    m_BackCardControl.SetCards(nullptr, 0);
    // The local hand takes the mouse again only when the game window deals it cards.
    m_HandCardControl[1].AcceptMouse(false);
    CCardControl::EndDrag();
    for (int seat = 0; seat < kSeats; ++seat) {
        m_UserCardControl[seat].SetCards(nullptr, 0);
        m_HandCardControl[seat].SetCards(nullptr, 0);
    }
    Redraw();
}
