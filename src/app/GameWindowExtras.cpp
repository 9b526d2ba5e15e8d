// The game window's own set-up and the small things around the table: the host's chat window and
// controls kept in the places the table's pictures leave for them, the phrase list, the two title
// buttons (screenshot, customer service), the lottery request and the chat box's messages.
#include <QDir>
#include <QImage>
#include <QPlainTextEdit>

#include <cstdio>

#include "app/GameClientDlg.h"
#include "platform/Dc.h"
#include "platform/Services.h"
#include "support/CoOperatingConfig.h"
#include "support/LocalTime.h"

namespace {

const char* const kChatPhrases[] = {
    "大家好，请多指教！",
    "大家好，很高兴能和你们一起游戏。",
    "速度啊，看牌也要出牌啊！",
    "朋友，时间就是金钱",
    "快出牌，快出牌呀你！",
    "傻瓜！怎么出成这样，傻到家了",
    "又断线，网络太差了！",
    "拜托，认真一点好不好呀。",
    "不是我太差，是你太狡猾！",
    "我又赢了，哈哈哈哈！",
    "下次再玩吧，我要走了。",
    "打完这盘我下了，下次再合作！",
    "美女，你们好！",
    "帅哥，你们好！",
    "很好的牌，却遇上了很傻的你！",
    "你到底会不会打牌哦。",
    "斗啊斗，斗得地主呱呱叫！",
    "稍等一下，我去去叫来！",
    "我就是专打穷鬼的地主！",
    "地主的失败，就是农民的快乐",
    "小心一些，他要打完了。",
    "英雄呀，放过我吧。",
};

constexpr UINT kHostRoomButton = 8003;
constexpr UINT kHostClose = 8004;
constexpr UINT kHostMinimise = 8115;
constexpr UINT kHostFullScreen = 8117;

void PlaceControl(CWnd* control, int x, int y)
{
    if (control)
        control->SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace

BOOL CGameClientDlg::OnInitDialog()
{
    CGameFrameDlg::OnInitDialog();
    // The host keeps no sound system to hand to the result window, which makes its own.

    // The chat window is a child of the game window here, so its place is counted from the
    // window's own corner: inside the table's chat box.
    if (QPlainTextEdit* chat = GetChatMessageWindow())
        chat->setGeometry(120, 552, 164, 138);
    ShowChatMessageWindow();

    for (UINT nID : {kHostRoomButton, kHostFullScreen}) {
        if (CWnd* control = GetHostControl(nID))
            control->ShowWindow(SW_HIDE);
    }
    MoveChatInput(116, 697, 80, 150);

    CreateTitleButton(m_btSnap, IDC_SNAP, 705, 6, "common\\img\\bt_snap.png");
    CreateTitleButton(m_btService, IDC_SERVICE, 625, 6, "common\\img\\bt_service.png");
    {
        CWindowDC dc(this);
        m_btSnap.SetButtonBkgnd(&dc);
        m_btService.SetButtonBkgnd(&dc);
    }
    m_btSnap.ShowWindow(SW_SHOW);
    m_btService.ShowWindow(SW_SHOW);

    CreateTaskAssistant();

    if (QComboBox* phrases = GetPhraseList()) {
        for (int left = phrases->count(); left > 0; --left)
            phrases->removeItem(0);
        for (const char* phrase : kChatPhrases)
            phrases->addItem(QString::fromUtf8(phrase));
    }
    return TRUE;
}

void CGameClientDlg::CreateTitleButton(CGdipButton& button, UINT nID, int x, int y, std::string_view path)
{
    button.SetDumpName("title:" + std::to_string(nID));
    button.Create("", WS_CHILD, CRect(), this, nID);
    button.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    button.SetStateImage(path, 1);
}

void CGameClientDlg::ShowChatMessageWindow()
{
    if (QPlainTextEdit* chat = GetChatMessageWindow())
        chat->setVisible(m_GameClientView.m_bChatOpen != 0);
}

LRESULT CGameClientDlg::OnSizeMessage(WPARAM wParam, LPARAM lParam)
{
    if (GetHostControl(kHostFullScreen)) {
        if (CWnd* minimise = GetHostControl(kHostMinimise))
            minimise->ShowWindow(SW_HIDE);
    }
    const LRESULT result = CGameFrameDlg::WindowProc(WM_SIZE, wParam, lParam);
    if (CWnd* close = GetHostControl(kHostClose)) {
        PlaceControl(close, 874, 3);
        PlaceControl(GetHostControl(kHostMinimise), 785, 6);
    }
    return result;
}

void CGameClientDlg::OnMove(int x, int y)
{
    CGameFrameDlg::OnMove(x, y);
    m_GameClientView.FollowHostWindow();
}

BOOL CGameClientDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_SNAP:
        OnBnClickedSnap();
        return TRUE;
    case IDC_SERVICE:
        OnBnClickedService();
        return TRUE;
    default:
        return CGameFrameDlg::OnCommand(wParam, lParam);
    }
}

LRESULT CGameClientDlg::OnSidePanel(WPARAM, LPARAM)
{
    ShowChatMessageWindow();
    return 1;
}

LRESULT CGameClientDlg::OnLottery(WPARAM, LPARAM lParam)
{
    const Lottery lottery{static_cast<uint8_t>(static_cast<std::uintptr_t>(lParam) & 0xFF)};
    SendData(SUB_C_LOTTERY, &lottery, sizeof(lottery));
    return 1;
}

void CGameClientDlg::OnBnClickedService()
{
    const std::string url = CoOperatingConfig::GetInstance().GetValue("customerServiceURL");
    // A missing key has already been reported; an empty address would only be refused.
    if (url.empty())
        return;
    GetShellService().OpenUrl(QString::fromStdString(url));
}

void CGameClientDlg::OnBnClickedSnap()
{
    const LocalDateTime now = CurrentLocalTime();
    char szTime[64];
    std::snprintf(szTime, sizeof(szTime), "%04d-%02d-%02d %02d-%02d-%02d", now.year, now.month, now.day, now.hour,
                  now.minute, now.second);
    CShellService& shell = GetShellService();
    // The desktop is a real folder of this system, not a game path, so its name is joined natively.
    const QString file = QDir(shell.DesktopFolder()).filePath(QStringLiteral("Qarrum-%1.jpg").arg(QString::fromLatin1(szTime)));

    QImage picture = shell.CaptureWindow(GetSafeHwnd());
    if (!picture.isNull()) {
        picture = picture.convertToFormat(kSurfaceFormat);
        CDC dc;
        dc.SetImage(&picture);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(255, 255, 255));
        dc.TextOut(400, 8, szTime);
    }
    const bool bSaved = !picture.isNull() && picture.save(file, "JPG");
    shell.SetClipboardImage(picture);
    GetDialogService().MessageBox(GetSafeHwnd(), bSaved ? QStringLiteral("图片成功复制到剪贴板, 并保存到桌面")
                                                        : QStringLiteral("图片成功复制到剪贴板, 保存到桌面失败"));
}

void CGameClientDlg::Dump(CDumpContext& dc) const
{
    std::string phrases;
    if (const QComboBox* list = GetPhraseList()) {
        for (int i = 0; i < list->count(); ++i) {
            if (i > 0)
                phrases += ',';
            phrases += QuoteDumpText(list->itemText(i).toStdString());
        }
    }
    dc.AddRaw("phrases", phrases);
}
