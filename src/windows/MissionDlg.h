#pragma once

// The mission dialog: the daily mission, the challenge mission and the fixed list of newbie tasks,
// each on a page of its own. The game window runs it modally from the task window's status link
// and, while it is open, pushes every mission record and every tick of the mission clocks into it
// (IMissionPanel). The player accepts or retries a mission, takes a new daily task or collects a
// bonus here; the requests go to the server through the host. The dialog fades in when it opens
// and fades out before it closes.

#include "app/MissionPanels.h"
#include "logic/MissionRules.h"
#include "platform/Dc.h"
#include "platform/Region.h"
#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/SkinImage.h"
#include "platform/WindowDump.h"
#include "view/AnimationDlg.h"
#include "view/GdipButton.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class CGameFrameDlg;

class CMissionDlg : public CSkinDialog, public IMissionPanel, public IDumpableWnd {
public:
    static constexpr UINT IDD = 105;

    static constexpr UINT IDC_TAB_DAILY = 100;
    static constexpr UINT IDC_TAB_CHALLENGE = 101;
    static constexpr UINT IDC_TAB_NEWBIE = 102;
    static constexpr UINT IDC_CLOSE = 104;
    static constexpr UINT IDC_ACCEPT = 105;
    static constexpr UINT IDC_NOT_NOW = 106;
    static constexpr UINT IDC_RETRY = 107;
    static constexpr UINT IDC_SCROLL_UP = 108;
    static constexpr UINT IDC_SCROLL_DOWN = 109;
    static constexpr UINT IDC_BONUS = 110;
    static constexpr UINT IDC_TAKE_TASK = 111;

    // Pages; the two mission pages carry the kind of their record.
    static constexpr BYTE kPageChallenge = mission::kKindChallenge;
    static constexpr BYTE kPageDaily = mission::kKindDaily;
    static constexpr BYTE kPageNewbie = 3;

    static constexpr UINT_PTR IDT_FADE = 100;
    static constexpr UINT kFadeMs = 20;
    static constexpr int kFadeStep = 30;
    // The fade total from which the dialog counts as fully shown.
    static constexpr int kFadeShown = 155;
    static constexpr BYTE kFadeAlphaBase = 100;

    // The host's main command and sub-command of a mission request.
    static constexpr WORD kRequestMain = 2;
    static constexpr WORD kRequestSub = 401;

    static constexpr int kNewbiePerScreen = 5;
    // The configuration key of the web page a newbie task opens.
    static constexpr const char* kNewbiePageKey = "personalInfoURL";

    // pFrame owns the dialog's window, knows the local user and sends the requests.
    explicit CMissionDlg(CGameFrameDlg* pFrame);
    ~CMissionDlg() override;

    // 1 challenge, 2 daily, anything else the newbie page; the result animation ends with the
    // page it was shown on. Before the window exists only the page is kept.
    void SelectPage(BYTE cbPage);
    BYTE GetPage() const { return m_cbPage; }

    void SetMissionRecord(const TaskRecord& record, DWORD dwBonusTicks) override;
    void ShowMissionResult(BYTE cbState) override;

    int GetFadeTotal() const { return m_nFadeTotal; }
    BYTE GetAlpha() const { return m_cbAlpha; }
    CAnimationDlg& GetAnimation() { return m_Animation; }

    std::string GetDumpName() const override { return "CMissionDlg"; }
    void Dump(CDumpContext& dc) const override;

protected:
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    void OnDraw(CDC* pDC) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Enter, Escape and the window's close fade the dialog out like its close button.
    void OnOK() override { StartClose(); }
    void OnCancel() override { StartClose(); }
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnMouseLeave() override;

private:
    // The record of a mission page (1 or 2).
    const TaskRecord& PageRecord(BYTE cbPage) const { return m_Records[cbPage - 1]; }
    bool OnMissionPage() const { return m_cbPage == kPageChallenge || m_cbPage == kPageDaily; }
    // The buttons a mission page shows for its record now.
    mission::MissionButtons PageButtons() const;
    // Tabs, mission buttons and scroll buttons for the current page.
    void ApplyPage();
    void RefreshMissionButtons();
    void RefreshScrollButtons();
    void ShowControl(UINT nID, bool bShow);

    void StartClose();
    void SetAlpha(BYTE cbAlpha);
    // Fully shown, the dialog keeps its shape by a window region and stops being layered: the
    // colour key would otherwise be applied to the whole picture at every paint.
    void SetShapedByRegion(bool bRegion);
    void SendRequest();
    void PlaceAnimation();
    void StopAnimation();

    // What the mission page shows: the status line, empty where the page draws none.
    std::string ShownStatus() const;
    // A challenge page with nothing to tell draws one picture instead of the details.
    const CPngImage* NoticePicture() const;
    void DrawMissionPage(CDC* pDC);
    void DrawNewbiePage(CDC* pDC);

    // The newbie entry of the screen page shown at a client point, or -1.
    int NewbieAt(CPoint point) const;
    void OpenNewbiePage(int nEntry);

    CGameFrameDlg* m_pFrame;
    BYTE m_cbPage = kPageChallenge;
    TaskRecord m_Records[2] = {};
    DWORD m_dwBonusTicks[2] = {};
    // The bonus of a page's mission was collected; its button stays away until the next mission.
    bool m_bBonusTaken[2] = {};

    int m_nFadeStep = kFadeStep;
    int m_nFadeTotal = 0;
    BYTE m_cbAlpha = kFadeAlphaBase;

    int m_nFirstNewbie = 0;
    int m_nHoverNewbie = -1;
    int m_nPressedNewbie = -1;

    bool m_bDragging = false;
    CPoint m_ptDragStart;
    CPoint m_ptDragOrigin;

    QImage m_Background;
    // The background without its key colour.
    CRgn m_rgnShape;
    CPngImage m_PngChallengeNone;
    CPngImage m_PngChallengeEnd;
    CPngImage m_PngDailyNone;
    CPngImage m_PngNewbieRows;
    QImage m_CompleteStrip;
    QImage m_FailStrip;
    // The strip the animation plays now (one of the two above), for not restarting it each tick.
    const QImage* m_pPlayingStrip = nullptr;
    CFont m_TitleFont;
    CFont m_TextFont;

    CPngButton m_btDaily;
    CPngButton m_btChallenge;
    CPngButton m_btNewbie;
    CRgnButton m_btClose;
    CPngButton m_btAccept;
    CPngButton m_btNotNow;
    CPngButton m_btRetry;
    CPngButton m_btScrollUp;
    CPngButton m_btScrollDown;
    CPngButton m_btBonus;
    CGdipButton m_btTakeTask;
    CAnimationDlg m_Animation{"mission"};
};

// The request's body: the user id and the page kind, each 32 bits little-endian.
std::array<uint8_t, 8> MissionRequest(DWORD dwUserID, DWORD dwPageKind);

// The web page of a newbie task: the address with the query "taskID=N" appended after '?', or
// after '&' when the address has a query already (and before any '#' part).
std::string NewbieTaskUrl(std::string_view base, int nTaskID);
