#pragma once

// The task window: the small panel beside the table that sums up the player's missions. Three
// tabs: the challenge mission, the daily mission and the task awards. A mission tab shows its
// record's title with the progress, the theme, the rewards and the status, and counts a running
// mission's time down on the window's own clock; the status of an offered or failed mission is a
// link that asks for the mission dialog. The award tab shows the last award won, or whether a
// mission runs at all. The completion animation of a task plays in a window of its own over it.
//
// Every record is taken as the server sent it and read through the mission rules, which bound
// each field, so no record can make the window read or draw past what it holds.

#include "app/MissionPanels.h"
#include "platform/Dc.h"
#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/SkinImage.h"
#include "platform/WindowDump.h"
#include "protocol/GameRecords.h"
#include "view/AnimationDlg.h"

#include <functional>
#include <string>

class CTaskWnd : public CSkinDialog, public ITaskPanel, public IDumpableWnd {
public:
    static constexpr UINT IDD = 105;

    static constexpr UINT IDC_TAB_DAILY = 100;
    static constexpr UINT IDC_TAB_CHALLENGE = 101;
    static constexpr UINT IDC_TAB_AWARD = 102;

    // The tabs, as the record kinds they show; the award tab has none.
    static constexpr BYTE TAB_CHALLENGE = 1;
    static constexpr BYTE TAB_DAILY = 2;
    static constexpr BYTE TAB_AWARD = 4;

    // The clocks of the challenge and of the daily mission.
    static constexpr UINT_PTR IDT_CHALLENGE_CLOCK = 1;
    static constexpr UINT_PTR IDT_DAILY_CLOCK = 2;

    // The status link: the hand shows over the first area, a click counts inside the second.
    static constexpr CRect kLinkHover{48, 105, 111, 125};
    static constexpr CRect kLinkClick{50, 109, 101, 124};

    // Asked to open the mission dialog on a record kind.
    using MissionOpener = std::function<void(BYTE cbKind)>;

    CTaskWnd();
    ~CTaskWnd() override;

    // Made hidden, owned by pOwner: it sits over the table in game-window coordinates wherever
    // its owner places it, and goes with its owner.
    BOOL CreateOver(CWnd* pOwner);
    void SetMissionOpener(MissionOpener opener) { m_opener = std::move(opener); }
    // Where the completion animation reports its runs ("anim task play").
    void SetReporter(CAnimationDlg::Reporter reporter);

    // What the game window pushes.
    void SetTaskRecord(const TaskRecord& record, int value) override;
    void ShowAward(BYTE cbKind, LONG lCount) override;
    void SetMissionRunning(bool bRunning) override;
    void PlayCompletion(bool bPlay) override;

    // TAB_CHALLENGE, TAB_DAILY or TAB_AWARD; anything else is ignored.
    void SelectTab(BYTE cbTab);
    BYTE GetTab() const { return m_cbTab; }
    // The record the current tab shows: a copy of that kind's record, zeros on the award tab.
    const TaskRecord& GetShownRecord() const { return m_ShownRecord; }
    // The record kept for a kind (1 or 2).
    const TaskRecord& GetRecord(BYTE cbKind) const { return m_Records[cbKind == TAB_DAILY ? 1 : 0]; }
    CAnimationDlg& GetCompletionCartoon() { return m_CompletionCartoon; }

    std::string GetDumpName() const override { return "CTaskWnd"; }
    void Dump(CDumpContext& dc) const override;

    // Draws the whole window into pDC, a context of the window's size (public for the benchmark).
    void DrawPanel(CDC* pDC);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnPaint() override;
    void OnMove(int x, int y) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    // The panel has no OK or Cancel; Enter and Escape must not hide it.
    void OnOK() override {}
    void OnCancel() override {}

private:
    TaskRecord& RecordOf(BYTE cbKind) { return m_Records[cbKind == TAB_DAILY ? 1 : 0]; }
    void RefreshShownRecord();
    bool IsOnLink(CPoint point, const CRect& area) const;
    void DrawAwardTab(CDC* pDC);
    void DrawRecordTexts(CDC* pDC);
    // The animation sits in the middle of the panel, wherever the panel is.
    void PlaceCartoon();

    // By kind: challenge, daily.
    TaskRecord m_Records[2] = {};
    TaskRecord m_ShownRecord = {};
    BYTE m_cbTab = TAB_AWARD;
    // The game window's constant handed with every record.
    int m_nValue = 0;
    BYTE m_cbAwardKind = 0;
    LONG m_lAwardCount = 0;
    bool m_bAwardPending = false;
    bool m_bMissionRunning = false;

    MissionOpener m_opener;
    CAnimationDlg m_CompletionCartoon{"task"};

    CPngImage m_PngBack;
    CPngImage m_PngAwardCrystal;
    CPngImage m_PngTips;
    CPngImage m_PngDoing;
    CPngImage m_PngNone;
    CPngImage m_PngNumber;
    CFont m_TextFont;
    CFont m_LinkFont;
    // The panel is drawn here first, so the tabs can take their backgrounds from it.
    CDC m_MemDC;
    CBitmap m_MemBitmap;
    CPngButton m_btAward;
    CPngButton m_btDaily;
    CPngButton m_btChallenge;
};
