#include "app/GameClientDlg.h"

#include <QIcon>
#include <QWidget>

#include <cstdio>
#include <cstring>

#include "app/GameClientApp.h"
#include "interaction/Commands.h"
#include "platform/Services.h"
#include "support/DataPaths.h"
#include "support/IniFile.h"
#include "support/Logger.h"
#include "support/Profile.h"
#include "view/FadeDlg.h"
#include "windows/AutoPlayDlg.h"
#include "windows/ChangeScoreDlg.h"
#include "windows/LastTurnDlg.h"
#include "windows/ScoreView.h"
#include "windows/TaskAssistant.h"

bool g_bReplayMode = true;

namespace {

// Card spacing of the local hand: the stored value is read, but the hand always starts at 18;
// only the options dialog changes it afterwards.
constexpr int32_t kStartCardSpace = 18;

}  // namespace

CGameClientDlg::CGameClientDlg() : CGameFrameDlg(&m_GameClientView), m_GameClientView(&AppProfile())
{
    RegisterProgramResources();
    m_bOrderSort = AppProfile().GetProfileInt(kOptionSection, "OrderSortCard", 1) != 0;
    if (!g_pLogger) {
        m_pLogger = new Logger();
        g_pLogger = m_pLogger;
        m_pLogger->Open("Pellix\\Pellix.log");
    }
}

CGameClientDlg::~CGameClientDlg()
{
    // The popups live inside the view's window; they go before it.
    m_GameClientView.m_pScoreView = nullptr;
    m_GameClientView.m_pTrusteeCover = nullptr;
    m_GameClientView.m_pTrusteePicture = nullptr;
    m_GameClientView.m_pTaskAssistant = nullptr;
    SetMissionPanels(nullptr, nullptr);
    m_pTaskAssistant.reset();
    m_pAutoPlayDlg.reset();
    m_pTrusteeCover.reset();
    m_pScoreView.reset();
    m_pLastTurnDlg.reset();
    m_pChangeScoreDlg.reset();
    if (m_pLogger) {
        if (g_pLogger == m_pLogger)
            g_pLogger = nullptr;
        delete m_pLogger;
        m_pLogger = nullptr;
    }
    // The view is a member: its window goes before the frame's own.
    if (m_GameClientView.IsWindow())
        m_GameClientView.DestroyWindow();
}

bool CGameClientDlg::SetupGameFrame()
{
    SetWindowText("Qarrum游戏  --  Ver：6.0.1.0");
    if (QWidget* widget = GetSafeHwnd()) {
        if (const auto icon = ResolveForReading("res\\icon128.png"))
            widget->setWindowIcon(QIcon(QString::fromStdString(icon->string())));
    }

    ProfileStore& profile = AppProfile();
    m_nCardSpace = profile.GetProfileInt(kOptionSection, "CardSpace", 16);
    m_bDeasilOrder = profile.GetProfileInt(kOptionSection, "DeasilOrder", 0) != 0;
    m_bAllowLookon = profile.GetProfileInt(kOptionSection, "AllowLookon", 0) != 0;
    m_nCardSpace = kStartCardSpace;
    if (m_nCardSpace > 25 || m_nCardSpace < 10)
        m_nCardSpace = 16;

    m_GameClientView.m_HandCardControl[1].SetSpacing(m_nCardSpace, 0, 18);
    m_GameClientView.m_DeckCardControl.SetSpacing(2, 0, 20);
    m_GameClientView.m_HandCardControl[0].SetSpacing(12, 0, 15);
    m_GameClientView.m_HandCardControl[2].SetSpacing(12, 0, 15);

    char music[64];
    std::snprintf(music, sizeof(music), "telvo\\sound\\bgsound%d.mp3", RandomVariant());
    PlayBkgrndSound(music);
    return true;
}

void CGameClientDlg::ClearGameNumbers()
{
    m_wMultiple = 1;
    m_wBombCount = 0;
    m_wRocketPlayed = 0;
    m_wTimeoutCount = 0;
    m_wTimeoutAtTurn = 0;
    m_cbHandCount = 0;
    m_cbTurnCardCount = 0;
    m_cbTurnCardType = PLAY_INVALID;
    m_wTurnLeader = INVALID_CHAIR;
    m_cbAutoOut = false;
    m_bBangOffer = false;
    std::memset(m_cbHandCards, 0, sizeof(m_cbHandCards));
    std::memset(m_cbAllCards, 0, sizeof(m_cbAllCards));
    std::memset(m_cbTurnCardData, 0, sizeof(m_cbTurnCardData));
}

void CGameClientDlg::ResetTableState()
{
    ClearGameNumbers();
    m_wLordUser = INVALID_CHAIR;
    std::memset(m_cbCardCount, 0, sizeof(m_cbCardCount));
    std::memset(m_cbDeckCards, 0, sizeof(m_cbDeckCards));
    m_bTrustee = false;
    m_bOrderSort = AppProfile().GetProfileInt(kOptionSection, "OrderSortCard", 1) != 0;
    m_wLimitMultiple = 48;
    m_wCurrentUser = INVALID_CHAIR;
    m_wFirstUser = INVALID_CHAIR;
    m_bBackCardsShown = false;
    m_cbShownCard = 0;
    m_wShownCardChair = INVALID_CHAIR;
    m_wShownCardIndex = 0;
    std::memset(m_dwWarned, 0, sizeof(m_dwWarned));
    m_cbDealLeft = 0;
    m_bDealPending = false;
    m_cbDealt = 0;
    std::memset(m_cbDealHand, 0, sizeof(m_cbDealHand));

    const int sideSpace = m_bOpenHands ? 12 : 2;
    m_GameClientView.m_HandCardControl[0].SetSpacing(sideSpace, 0, 15);
    m_GameClientView.m_HandCardControl[2].SetSpacing(sideSpace, 0, 15);
    KillGameTimer(0);
    KillTimer(201);
    KillTimer(204);
    KillTimer(212);
    ClearRecording();
}

void CGameClientDlg::OnLookonStateChanged()
{
    // A looker sees the player's cards only when the player allows it. The player's own window
    // always shows its hand (the host does not call this for players, but a host that does must
    // not turn the player's cards face down).
    m_GameClientView.m_HandCardControl[1].ShowFaces(!IsLookonMode() || IsAllowLookon());
}

void CGameClientDlg::OnUserLeft(const tagUserData*, WORD wChairID, bool bLookon)
{
    if (!bLookon && wChairID < PLAYER_COUNT) {
        m_lTotalScore[wChairID] = 0;
        m_lRoundScore[wChairID] = 0;
        if (const auto seat = ViewSeat(wChairID)) {
            m_GameClientView.m_lLastScore[*seat] = 0;
            m_GameClientView.m_lSeatMultiple[*seat] = 0;
            m_GameClientView.m_lSeatTotal[*seat] = 0;
        }
    }
    m_GameClientView.RefreshScorePanel();
}

void CGameClientDlg::OnHostStartRequest()
{
    m_bAutoStarted = true;
    m_GameClientView.ClickButton(100);
    if (CWnd* start = m_GameClientView.GetDlgItem(100))
        start->ShowWindow(SW_HIDE);
}

WORD CGameClientDlg::MeChair() const
{
    // Before a replay file is opened there is no recorded chair; the host's chair stays in place.
    return IsReplaying() ? m_VideoUserInfo.cbMeChairID : GetMeChairID();
}

WORD CGameClientDlg::SwitchViewChair(WORD wChairID) const
{
    return ViewPosition(wChairID, MeChair());
}

std::optional<WORD> CGameClientDlg::ViewSeat(WORD wChairID) const
{
    const WORD seat = SwitchViewChair(wChairID);
    if (seat >= CGameClientView::kSeats)
        return std::nullopt;
    return seat;
}

void CGameClientDlg::UpdateTurnRound()
{
    const auto file = ResolveForReading("Telvo\\TurnRound.ini");
    if (!file) {
        m_GameClientView.m_lRoundTotal = 0;
        GetDialogService().MessageBox(GetSafeHwnd(), QString::fromUtf8("Error: 缺少文件Telvo\\TurnRound.ini"));
        return;
    }
    char key[32];
    std::snprintf(key, sizeof(key), "TurnRound%d", static_cast<int>(m_GameClientView.m_lBaseScore));
    m_GameClientView.m_lRoundTotal = AtoiLike(ReadIniString(*file, "Round", key, "0", 100));
}

std::string CGameClientDlg::DescribeState() const
{
    const struct {
        const char* name;
        long value;
    } fields[] = {
        {"m_cbHandCount", m_cbHandCount},
        {"m_wMultiple", m_wMultiple},
        {"m_wBombCount", m_wBombCount},
        {"m_wRocketPlayed", m_wRocketPlayed},
        {"m_wLordUser", m_wLordUser},
        {"m_wCurrentUser", m_wCurrentUser},
        {"m_cbTurnCardCount", m_cbTurnCardCount},
        {"m_cbTurnCardType", m_cbTurnCardType},
        {"m_bTrustee", m_bTrustee},
        {"m_cbAutoOut", m_cbAutoOut},
        {"m_wTimeoutCount", m_wTimeoutCount},
        {"m_wTimeoutAtTurn", m_wTimeoutAtTurn},
        {"m_cbHistoryIndex", m_cbHistoryIndex},
        {"m_bBangOffer", m_bBangOffer},
        {"m_wLimitMultiple", m_wLimitMultiple},
        {"g_bReplayMode", g_bReplayMode},
        {"m_cbSecretMode", m_cbSecretMode},
        {"m_bAutoStarted", m_bAutoStarted},
        {"m_nCardSpace", m_nCardSpace},
        {"m_bOrderSort", m_bOrderSort},
        {"m_wFirstUser", m_wFirstUser},
        {"m_wTurnLeader", m_wTurnLeader},
        {"m_cbDealLeft", m_cbDealLeft},
        {"m_cbDealt", m_cbDealt},
        {"m_bHintChain", m_bHintChain},
        {"m_wTrusteePlayCount", m_wTrusteePlayCount},
        {"g_bCardCounter", g_bCardCounter},
    };
    std::string text = "state";
    for (const auto& field : fields)
        text += std::string(" ") + field.name + '=' + std::to_string(field.value);
    text += " m_cbCardCount=" + std::to_string(m_cbCardCount[0]) + ',' + std::to_string(m_cbCardCount[1]) + ',' +
            std::to_string(m_cbCardCount[2]);
    return text;
}
