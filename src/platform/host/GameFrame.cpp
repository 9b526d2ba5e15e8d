#include "platform/host/GameFrame.h"

#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPolygonF>
#include <QString>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QWidget>

#include <cstdio>
#include <cstring>

#include "platform/Dc.h"
#include "platform/TimerHost.h"
#include "platform/WindowDump.h"
#include "platform/sound/SoundBackend.h"
#include "protocol/GameRecords.h"
#include "support/TextCodec.h"

namespace {

constexpr UINT kClockPeriodMs = 1000;
constexpr std::uintptr_t kClockTimer = 1;

// The host's own little buttons: a glyph on a dark square; a click is a command to the frame.
class CHostButton : public CWnd, public IDumpableWnd {
public:
    explicit CHostButton(const char* glyph) : m_glyph(glyph) {}

    std::string GetDumpName() const override { return "host:" + std::to_string(GetDlgCtrlID()); }
    void Dump(CDumpContext&) const override {}

protected:
    void OnDraw(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(rect, RGB(40, 60, 40));
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(RGB(240, 240, 220));
        pDC->DrawText(m_glyph, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    void OnLButtonUp(UINT, CPoint point) override
    {
        CRect rect;
        GetClientRect(&rect);
        if (rect.PtInRect(point) && GetParent())
            GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID()), BN_CLICKED), 0);
    }

private:
    std::string m_glyph;
};

struct HostControlSpec {
    UINT nID;
    const char* glyph;
    CRect rect;
};

// 8004 closes and 8115 minimises the window; 8003 and 8117 stand for the host's room and
// full-screen buttons, which the game only hides and places.
const HostControlSpec kHostControls[] = {
    {8003, "≡", CRect(700, 6, 724, 26)},
    {8004, "×", CRect(874, 3, 898, 23)},
    {8115, "–", CRect(785, 6, 809, 26)},
    {8117, "□", CRect(820, 6, 844, 26)},
};

}  // namespace

std::string HexBytes(const void* pData, std::size_t size)
{
    static const char digits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const uint8_t*>(pData);
    std::string text;
    text.reserve(size * 3);
    for (std::size_t i = 0; i < size; ++i) {
        if (i > 0)
            text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

void CRecordingServerLink::SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize)
{
    Packet packet{wMainCmdID, wSubCmdID, {}};
    if (pData && wDataSize > 0)
        packet.data.assign(static_cast<const uint8_t*>(pData), static_cast<const uint8_t*>(pData) + wDataSize);
    m_packets.push_back(std::move(packet));
}

void CRecordingServerLink::SendUserReady(const void*, WORD)
{
    ++m_nReady;
}

void CRecordingServerLink::Clear()
{
    m_packets.clear();
    m_nReady = 0;
}

// ---- CGameFrameDlg ----------------------------------------------------------------------------------

// The view is usually a member of the derived game window and not yet constructed here, so it
// learns its frame when the window is created.
CGameFrameDlg::CGameFrameDlg(CGameFrameView* pView) : m_pGameView(pView) {}

CGameFrameDlg::~CGameFrameDlg()
{
    GetTimerHost().stopTimers(&m_clockOwner);
}

bool CGameFrameDlg::CreateGameWindow(bool bShow)
{
    const DWORD style = bShow ? WS_VISIBLE : 0;
    if (!Create(style, CRect(0, 0, kClientWidth, kClientHeight), nullptr, 0))
        return false;
    AfxSetMainWnd(this);
    if (m_pGameView)
        m_pGameView->SetFrame(this);
    if (m_pGameView && !m_pGameView->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, kClientWidth, kClientHeight), this, 0))
        return false;
    for (const auto& spec : kHostControls) {
        auto control = std::make_unique<CHostButton>(spec.glyph);
        control->Create(WS_CHILD | WS_VISIBLE, spec.rect, this, spec.nID);
        m_hostControls.push_back(std::move(control));
    }

    QWidget* parent = GetSafeHwnd();
    m_pChatMessage = new QPlainTextEdit(parent);
    m_pChatMessage->setReadOnly(true);
    m_pChatMessage->setGeometry(4, 470, 250, 140);
    m_pChatMessage->setStyleSheet("QPlainTextEdit { background: rgba(0, 0, 0, 120); color: white; border: none; }");
    // Each appended line is one block; the document drops the oldest beyond the limit. A plain
    // text window lays out block by block, so dropping the oldest line costs one line: a rich
    // text window lays the whole box out again at every line once it is full.
    m_pChatMessage->setMaximumBlockCount(static_cast<int>(kChatLineLimit));
    m_pChatMessage->show();
    m_pChatInput = new QLineEdit(parent);
    m_pChatInput->setGeometry(116, 676, 150, 20);
    m_pChatInput->show();
    m_pPhraseList = new QComboBox(parent);
    m_pPhraseList->setGeometry(4, 676, 110, 20);
    m_pPhraseList->show();
    QObject::connect(m_pChatInput, &QLineEdit::returnPressed, m_pChatInput, [this] {
        const std::string text = m_pChatInput->text().toStdString();
        if (!text.empty()) {
            InsertSystemString(text);
            m_pChatInput->clear();
        }
    });

    OnInitDialog();
    SetupGameFrame();
    return true;
}

BOOL CGameFrameDlg::OnInitDialog()
{
    return TRUE;
}

void CGameFrameDlg::OnWidgetCreated(QWidget* widget)
{
    widget->setWindowFlag(Qt::FramelessWindowHint, true);
    widget->setWindowTitle(QStringLiteral("Qarrum"));
}

void CGameFrameDlg::OnSize(UINT, int cx, int cy)
{
    if (m_pGameView && m_pGameView->IsWindow())
        m_pGameView->MoveWindow(0, 0, cx, cy);
    RectifyControl(cx, cy);
}

void CGameFrameDlg::OnMove(int, int) {}

BOOL CGameFrameDlg::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case 8004:
        if (QWidget* widget = GetSafeHwnd())
            widget->close();
        return TRUE;
    case 8115:
        if (QWidget* widget = GetSafeHwnd())
            widget->showMinimized();
        return TRUE;
    default:
        return FALSE;
    }
}

void CGameFrameDlg::OnClose()
{
    EmitEvent("close");
    GetTimerHost().stopTimers(&m_clockOwner);
    DestroyWindow();
    // The window goes from inside its own event handling, which Qt does not count as the last
    // window closing, so the loop is ended here. Without a running loop (tests, the driver)
    // this does nothing.
    QCoreApplication::quit();
}

void CGameFrameDlg::EmitEvent(const std::string& line) const
{
    if (m_eventSink)
        m_eventSink(line);
}

std::vector<tagNamedWindow> CGameFrameDlg::ListNamedWindows() const
{
    std::vector<tagNamedWindow> windows;
    QWidget* game = GetSafeHwnd();
    if (!game)
        return windows;
    // Qt keeps children in stacking order, bottom first.
    auto walk = [&](auto&& self, QWidget* container) -> void {
        for (QObject* object : container->children()) {
            auto* widget = qobject_cast<QWidget*>(object);
            if (!widget)
                continue;
            CWnd* wnd = CWnd::FromWidget(widget);
            std::string name;
            if (widget == m_pChatMessage)
                name = "host:chat";
            else if (widget == m_pChatInput)
                name = "host:input";
            else if (wnd)
                name = DumpNameOf(*wnd);
            if (name.empty())
                self(self, widget);
            else
                windows.push_back({std::move(name), widget, wnd});
        }
    };
    walk(walk, game);
    return windows;
}

std::optional<tagNamedWindow> CGameFrameDlg::FindNamedWindow(std::string_view name) const
{
    for (auto& window : ListNamedWindows()) {
        if (window.strName == name)
            return window;
    }
    // The game window itself is not listed among its windows but may be named too.
    if (QWidget* game = GetSafeHwnd(); game && !name.empty() && DumpNameOf(*this) == name)
        return tagNamedWindow{std::string(name), game, const_cast<CGameFrameDlg*>(this)};
    return std::nullopt;
}

void CGameFrameDlg::SetUserData(WORD wChairID, const tagUserData* pUserData)
{
    if (wChairID >= m_users.size())
        return;
    if (!pUserData) {
        if (!m_users[wChairID])
            return;
        const tagUserData gone = *m_users[wChairID];
        m_users[wChairID].reset();
        OnUserLeft(&gone, wChairID, gone.bLookon);
        return;
    }
    const bool entered = !m_users[wChairID];
    m_users[wChairID] = std::make_unique<tagUserData>(*pUserData);
    m_users[wChairID]->wChairID = wChairID;
    m_users[wChairID]->szName[sizeof(pUserData->szName) - 1] = '\0';
    if (entered)
        OnEventUserEnter(m_users[wChairID].get(), wChairID, false);
    else
        OnEventUserStatus(m_users[wChairID].get(), wChairID, false);
    if (m_pGameView)
        m_pGameView->UpdateGameView(nullptr);
}

void CGameFrameDlg::SetLookonState(bool bLookon, bool bAllowLookon)
{
    const bool changed = bLookon != m_bLookon || bAllowLookon != m_bAllowLookon;
    m_bLookon = bLookon;
    m_bAllowLookon = bAllowLookon;
    if (changed)
        OnLookonStateChanged();
}

void CGameFrameDlg::ResetGameFrame()
{
    if (m_pGameView)
        m_pGameView->ResetTableView();
    ResetTableState();
}

bool CGameFrameDlg::DeliverGameMessage(WORD wSubCmdID, const void* pData, WORD wDataSize)
{
    return HandleGameMessage(wSubCmdID, pData, wDataSize);
}

bool CGameFrameDlg::DeliverSceneMessage(BYTE cbGameStatus, bool bLookon, const void* pData, WORD wDataSize)
{
    m_cbGameStatus = cbGameStatus;
    return HandleSceneMessage(cbGameStatus, bLookon, pData, wDataSize);
}

void CGameFrameDlg::AllowUserLookon(DWORD, bool bAllow)
{
    m_bAllowUserLookon = bAllow;
}

const tagUserData* CGameFrameDlg::GetUserData(WORD wChairID) const
{
    return wChairID < m_users.size() ? m_users[wChairID].get() : nullptr;
}

const char* CGameFrameDlg::GetUserName(uint16_t wChairID) const
{
    const tagUserData* user = GetUserData(wChairID);
    if (!user)
        return nullptr;
    m_strTraceName = Utf8ToGbk(user->szName);
    return m_strTraceName.c_str();
}

void CGameFrameDlg::SendData(WORD wSubCmdID, const void* pData, WORD wDataSize)
{
    if (!pData)
        wDataSize = 0;
    std::string line = "send " + std::to_string(wSubCmdID);
    if (wDataSize > 0)
        line += ' ' + HexBytes(pData, wDataSize);
    EmitEvent(line);
    if (m_pLink)
        m_pLink->SendData(MDM_GF_GAME, wSubCmdID, pData, wDataSize);
}

void CGameFrameDlg::SendData(WORD wSubCmdID)
{
    SendData(wSubCmdID, nullptr, 0);
}

void CGameFrameDlg::SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize)
{
    if (!pData)
        wDataSize = 0;
    std::string line = "send " + std::to_string(wMainCmdID) + '.' + std::to_string(wSubCmdID);
    if (wDataSize > 0)
        line += ' ' + HexBytes(pData, wDataSize);
    EmitEvent(line);
    if (m_pLink)
        m_pLink->SendData(wMainCmdID, wSubCmdID, pData, wDataSize);
}

void CGameFrameDlg::SendUserReady(const void* pData, WORD wDataSize)
{
    EmitEvent("ready");
    if (m_pLink)
        m_pLink->SendUserReady(pData, wDataSize);
}

void CGameFrameDlg::SetGameStatus(BYTE cbGameStatus)
{
    m_cbGameStatus = cbGameStatus;
    EmitEvent("status " + std::to_string(cbGameStatus));
}

void CGameFrameDlg::SetGameTimer(WORD wChairID, UINT nTimerID, UINT nElapse)
{
    EmitEvent("clock " + std::to_string(wChairID) + ' ' + std::to_string(nTimerID) + ' ' + std::to_string(nElapse));
    m_wClockChair = wChairID;
    m_nClockID = nTimerID;
    m_nClockSeconds = nElapse;
    GetTimerHost().startTimer(&m_clockOwner, kClockTimer, kClockPeriodMs, [this] { ClockTick(); });
    if (m_pGameView)
        m_pGameView->UpdateGameView(nullptr);
}

void CGameFrameDlg::KillGameTimer(UINT nTimerID)
{
    EmitEvent("killclock " + std::to_string(nTimerID));
    if (m_nClockID == 0 || (nTimerID != 0 && nTimerID != m_nClockID))
        return;
    GetTimerHost().stopTimer(&m_clockOwner, kClockTimer);
    m_wClockChair = INVALID_CHAIR;
    m_nClockID = 0;
    m_nClockSeconds = 0;
    if (m_pGameView)
        m_pGameView->UpdateGameView(nullptr);
}

UINT CGameFrameDlg::GetClockSeconds(WORD wChairID) const
{
    return m_nClockID != 0 && wChairID == m_wClockChair ? m_nClockSeconds : 0;
}

void CGameFrameDlg::ClockTick()
{
    if (m_nClockID == 0 || m_nClockSeconds == 0) {
        GetTimerHost().stopTimer(&m_clockOwner, kClockTimer);
        return;
    }
    const WORD chair = m_wClockChair;
    const UINT id = m_nClockID;
    const UINT left = --m_nClockSeconds;
    if (left == 0) {
        GetTimerHost().stopTimer(&m_clockOwner, kClockTimer);
        m_nClockID = 0;
        m_wClockChair = INVALID_CHAIR;
    }
    if (m_pGameView)
        m_pGameView->UpdateGameView(nullptr);
    // The game may start or kill clocks from here; the state above is already final.
    OnGameClock(chair, left, id);
}

void CGameFrameDlg::AppendChatLine(std::string_view text, COLORREF crColor)
{
    if (m_chatLines.size() >= kChatLineLimit)
        m_chatLines.erase(m_chatLines.begin(), m_chatLines.end() - (kChatLineLimit - 1));
    m_chatLines.emplace_back(text);
    if (!m_pChatMessage)
        return;
    const QColor colour(GetRValue(crColor), GetGValue(crColor), GetBValue(crColor));
    m_pChatMessage->appendHtml(QStringLiteral("<span style=\"color:%1\">%2</span>")
                               .arg(colour.name(), QString::fromUtf8(text.data(), static_cast<int>(text.size())).toHtmlEscaped()));
}

void CGameFrameDlg::InsertSystemString(std::string_view text)
{
    EmitEvent("chat " + std::string(text));
    AppendChatLine(text, RGB(255, 255, 255));
}

void CGameFrameDlg::InsertShtickString(std::string_view text, COLORREF crColor, bool)
{
    char colour[16];
    std::snprintf(colour, sizeof(colour), "0x%06X", static_cast<unsigned>(crColor & 0xFFFFFF));
    EmitEvent("chat " + std::string(colour) + ' ' + std::string(text));
    AppendChatLine(text, crColor);
}

void CGameFrameDlg::PlayEffectSound(std::string_view path)
{
    GetSoundBackend().PlayEffectSound(QString::fromUtf8(path.data(), static_cast<int>(path.size())));
}

void CGameFrameDlg::PlayBkgrndSound(std::string_view path)
{
    GetSoundBackend().PlayBkgrndSound(QString::fromUtf8(path.data(), static_cast<int>(path.size())));
}

void CGameFrameDlg::StopBkgrndSound()
{
    GetSoundBackend().StopBkgrndSound();
}

bool CGameFrameDlg::IsBkgrndSndPlaying() const
{
    return GetSoundBackend().IsBkgrndSndPlaying();
}

bool CGameFrameDlg::IsEnableBkgrndSound() const
{
    return GetSoundBackend().IsEnableBkgrndSound();
}

void CGameFrameDlg::EnableBkgrndSound(bool bEnable)
{
    GetSoundBackend().EnableBkgrndSound(bEnable);
}

bool CGameFrameDlg::IsEnableSound() const
{
    return GetSoundBackend().IsEnableSound();
}

void CGameFrameDlg::EnableSound(bool bEnable)
{
    GetSoundBackend().EnableSound(bEnable);
}

void CGameFrameDlg::ActiveGameFrame()
{
    if (QWidget* widget = GetSafeHwnd()) {
        widget->raise();
        widget->activateWindow();
    }
}

void CGameFrameDlg::SecretUser(bool bSecret)
{
    m_bSecret = bSecret;
    EmitEvent(std::string("secret ") + (bSecret ? "1" : "0"));
    if (m_pGameView)
        m_pGameView->UpdateGameView(nullptr);
}

void CGameFrameDlg::ShowAllControls()
{
    if (m_pGameView)
        m_pGameView->ShowWindow(SW_SHOW);
}

void CGameFrameDlg::MoveChatInput(int x, int y, int cx, int cy)
{
    // The chat input is one line; the height given is the room for the input and its list.
    if (m_pChatInput)
        m_pChatInput->setGeometry(x, y - 21, cx, 20);
    if (m_pPhraseList)
        m_pPhraseList->setGeometry(x + cx + 2, y - 21, cy, 20);
}

CWnd* CGameFrameDlg::GetHostControl(UINT nID) const
{
    for (const auto& control : m_hostControls) {
        if (static_cast<UINT>(control->GetDlgCtrlID()) == nID)
            return control.get();
    }
    return nullptr;
}

// ---- CGameFrameView --------------------------------------------------------------------------------

CGameFrameView::CGameFrameView(bool, UINT, void*) {}

void CGameFrameView::UpdateGameView(const CRect*)
{
    if (IsWindow())
        Invalidate(FALSE);
}

// A view position out of range names no seat; without this check it would match the chairs
// that have no view position either (all of them while the local player has no chair).
const tagUserData* CGameFrameView::GetUserInfo(WORD wViewPos) const
{
    if (!m_pFrame || wViewPos >= PLAYER_COUNT)
        return nullptr;
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (ViewPosition(chair, m_pFrame->GetMeChairID()) == wViewPos)
            return m_pFrame->GetUserData(chair);
    }
    return nullptr;
}

UINT CGameFrameView::GetUserTimer(WORD wViewPos) const
{
    if (!m_pFrame || wViewPos >= PLAYER_COUNT)
        return 0;
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        if (ViewPosition(chair, m_pFrame->GetMeChairID()) == wViewPos)
            return m_pFrame->GetClockSeconds(chair);
    }
    return 0;
}

void CGameFrameView::DrawUserTimer(CDC* pDC, int nXPos, int nYPos, UINT nTime, UINT nTimerLimit)
{
    if (!pDC || !pDC->GetImage() || nTime == 0)
        return;
    const UINT shown = nTime > nTimerLimit ? nTimerLimit : nTime;
    // An alarm clock 44 pixels wide: bells, a rim and a face with the seconds; the face turns red
    // for the last five seconds when the clock effect is on.
    const QColor face = m_bClockEffect && shown <= 5 ? QColor(230, 70, 50) : QColor(255, 236, 170);
    QPainter painter(pDC->GetImage());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(70, 40, 15), 2));
    painter.setBrush(QColor(200, 140, 40));
    painter.drawEllipse(QRectF(nXPos + 3, nYPos + 1, 12, 12));
    painter.drawEllipse(QRectF(nXPos + 29, nYPos + 1, 12, 12));
    painter.drawEllipse(QRectF(nXPos + 2, nYPos + 4, 40, 40));
    painter.setBrush(face);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(nXPos + 6, nYPos + 8, 32, 32));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(17);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(60, 30, 10));
    painter.drawText(QRectF(nXPos + 6, nYPos + 8, 32, 32), Qt::AlignCenter, QString::asprintf("%02u", shown));
}

void CGameFrameView::DrawUserReady(CDC* pDC, int nXPos, int nYPos, int)
{
    if (!pDC || !pDC->GetImage())
        return;
    // A green tag with a tick and the word, 60 x 28.
    QPainter painter(pDC->GetImage());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(230, 250, 210), 1.5));
    painter.setBrush(QColor(40, 140, 60));
    painter.drawRoundedRect(QRectF(nXPos + 0.5, nYPos + 0.5, 59, 27), 8, 8);
    painter.setPen(QPen(QColor(255, 240, 120), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(nXPos + 8, nYPos + 14), QPointF(nXPos + 13, nYPos + 20), QPointF(nXPos + 21, nYPos + 8)}));
    QFont font(QString::fromUtf8("黑体"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(nXPos + 22, nYPos, 36, 28), Qt::AlignCenter, QString::fromUtf8("准备"));
}

void CGameFrameView::OnDraw(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    // Texts on the table lie on its pictures.
    pDC->SetBkMode(TRANSPARENT);
    PaintTableView(pDC, rect.Width(), rect.Height());
}

void CGameFrameView::OnSize(UINT, int cx, int cy)
{
    if (cx > 0 && cy > 0)
        LayoutTableView(cx, cy);
}

// ---- CGameFrameApp ---------------------------------------------------------------------------------

CGameFrameApp::CGameFrameApp() = default;
CGameFrameApp::~CGameFrameApp() = default;

bool CGameFrameApp::InitInstance()
{
    return CreateFrame(true);
}

bool CGameFrameApp::CreateFrame(bool bShow)
{
    m_pFrame.reset(CreateGameFrame());
    return m_pFrame && m_pFrame->CreateGameWindow(bShow);
}
