#pragma once

// The host game framework: the application, the game window (dialog) and the table view base
// classes that a game derives. The host owns the link to the table server, the users at the
// table, look-on state, the seat clocks, the chat box and its phrase list, sound switches and a
// few controls of its own (8003, 8004 close, 8115 minimise, 8117); it draws nothing of the table.
//
// Everything the host does on the game's behalf is also reported as one line of text to an event
// sink when one is set ("send 103 01 4F", "clock 1 200 20", "chat 0x00FFF6 text", ...), which is
// how the scripted driver and the tests watch the client.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPlainTextEdit>

#include "platform/Wnd.h"
#include "support/TraceFile.h"

class CDC;
class CGameFrameView;

// A user at the table, as the host knows it. Text is UTF-8.
struct tagUserData {
    DWORD dwUserID = 0;
    char szName[32] = {};
    BYTE cbGender = 0;   // 0 selects the "M" voices, else "N"
    BYTE cbDialect = 0;  // 1 standard, 2 regional voices
    BYTE cbUserStatus = 0;
    LONG lScore = 0;
    LONG lResultCount[4] = {};
    LONG lGold = 0;
    LONG lLottery = 0;
    DWORD dwLevel = 0;  // level in the low 16 bits, progress percent in the high 16
    char szRegion[2][32] = {};
    WORD wChairID = 0xFFFF;
    bool bLookon = false;
};

inline constexpr BYTE US_READY = 3;

// What the client kernel tells about the room; the game reads the room kind.
struct tagServerAttribute {
    WORD wKindID = 0;
    WORD wServerID = 0;
    WORD wRoomKind = 0;
};

class IClientKernel {
public:
    virtual ~IClientKernel() = default;
    virtual const tagServerAttribute* GetServerAttribute() const = 0;
};

// The transport to the table server. Game messages travel under MDM_GF_GAME.
inline constexpr WORD MDM_GF_GAME = 100;

class IServerLink {
public:
    virtual ~IServerLink() = default;
    virtual void SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize) = 0;
    virtual void SendUserReady(const void* pData, WORD wDataSize) = 0;
};

// Remembers what was sent; tests and the driver use it when no server is attached.
class CRecordingServerLink : public IServerLink {
public:
    struct Packet {
        WORD wMainCmdID;
        WORD wSubCmdID;
        std::vector<uint8_t> data;
    };
    void SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize) override;
    void SendUserReady(const void* pData, WORD wDataSize) override;
    const std::vector<Packet>& Packets() const { return m_packets; }
    int ReadyCount() const { return m_nReady; }
    void Clear();

private:
    std::vector<Packet> m_packets;
    int m_nReady = 0;
};

using HostEventSink = std::function<void(const std::string& line)>;

// A window inside the game window that the scripted driver can name (platform/WindowDump.h).
struct tagNamedWindow {
    std::string strName;
    QWidget* pWidget = nullptr;
    // Null for the host's chat parts, which are plain widgets.
    CWnd* pWnd = nullptr;
};

// Two-digit upper-case hex bytes separated by single spaces.
std::string HexBytes(const void* pData, std::size_t size);

class CGameFrameDlg : public CWnd, public TraceUserSource {
public:
    // The client area the table positions assume.
    static constexpr int kClientWidth = 1018;
    static constexpr int kClientHeight = 702;

    explicit CGameFrameDlg(CGameFrameView* pView);
    ~CGameFrameDlg() override;

    // Creates the frameless game window with its view and host controls, then runs
    // OnInitDialog and SetupGameFrame. Returns false when the window could not be made.
    bool CreateGameWindow(bool bShow);

    CGameFrameView* GetGameView() const { return m_pGameView; }

    // ---- Wiring (the host's own side) --------------------------------------------------------------

    void SetServerLink(IServerLink* pLink) { m_pLink = pLink; }
    void SetEventSink(HostEventSink sink) { m_eventSink = std::move(sink); }
    void SetMeChairID(WORD wChairID) { m_wMeChairID = wChairID; }
    // Puts a user on a chair (null empties it). Emptying a chair tells the game (OnUserLeft).
    void SetUserData(WORD wChairID, const tagUserData* pUserData);
    void SetLookonState(bool bLookon, bool bAllowLookon);
    void SetRoomKind(WORD wRoomKind) { m_attribute.wRoomKind = wRoomKind; }
    // A new game at the table: the view and then the game forget the last one.
    void ResetGameFrame();
    // The host's automatic start (for example a match table) asks the game to begin.
    void RequestStart() { OnHostStartRequest(); }

    // Server to client, as the link delivers them.
    bool DeliverGameMessage(WORD wSubCmdID, const void* pData, WORD wDataSize);
    bool DeliverSceneMessage(BYTE cbGameStatus, bool bLookon, const void* pData, WORD wDataSize);

    // ---- Services for the game -----------------------------------------------------------------------

    WORD GetMeChairID() const override { return m_wMeChairID; }
    // The local trace file is named after this (GBK, as the file is written).
    const char* GetUserName(uint16_t wChairID) const override;
    bool IsLookonMode() const { return m_bLookon; }
    bool IsAllowLookon() const { return m_bAllowLookon; }
    bool IsAllowUserLookon() const { return m_bAllowUserLookon; }
    void AllowUserLookon(DWORD dwUserID, bool bAllow);
    const tagUserData* GetUserData(WORD wChairID) const;
    BYTE GetGameStatus() const { return m_cbGameStatus; }

    void SendData(WORD wSubCmdID, const void* pData, WORD wDataSize);
    void SendData(WORD wSubCmdID);
    void SendData(WORD wMainCmdID, WORD wSubCmdID, const void* pData, WORD wDataSize);
    void SendUserReady(const void* pData, WORD wDataSize);
    void SetGameStatus(BYTE cbGameStatus);

    // One seat clock runs at a time; starting one replaces the last. The game's OnGameClock is
    // called every second with the seconds left, lastly with 0, after which the clock stops.
    void SetGameTimer(WORD wChairID, UINT nTimerID, UINT nElapse);
    // Stops the seat clock when its id matches, or any clock for 0.
    void KillGameTimer(UINT nTimerID);
    // The seconds left of the clock of a chair; 0 when it has none.
    UINT GetClockSeconds(WORD wChairID) const;

    // The chat message window and the list of its lines keep the last kChatLineLimit lines: a
    // table runs all evening, and the server's notices alone would otherwise grow them without end.
    static constexpr std::size_t kChatLineLimit = 500;
    void InsertSystemString(std::string_view text);
    void InsertShtickString(std::string_view text, COLORREF crColor, bool bNewLine);
    const std::vector<std::string>& GetChatLines() const { return m_chatLines; }

    void PlayEffectSound(std::string_view path);
    void PlayBkgrndSound(std::string_view path);
    void StopBkgrndSound();
    bool IsBkgrndSndPlaying() const;
    // The background music switch (the music may be off for the moment while it is on).
    bool IsEnableBkgrndSound() const;
    void EnableBkgrndSound(bool bEnable);
    bool IsEnableSound() const;
    void EnableSound(bool bEnable);

    void ActiveGameFrame();
    void SecretUser(bool bSecret);
    bool IsSecretUser() const { return m_bSecret; }
    void ShowAllControls();
    void MoveChatInput(int x, int y, int cx, int cy);
    const IClientKernel* GetClientKernel() const { return &m_kernel; }

    // The host's own window parts, which the game only shows, hides and places.
    CWnd* GetHostControl(UINT nID) const;
    QPlainTextEdit* GetChatMessageWindow() const { return m_pChatMessage; }
    QLineEdit* GetChatInput() const { return m_pChatInput; }
    QComboBox* GetPhraseList() const { return m_pPhraseList; }

    // Reports one line to the event sink.
    void EmitEvent(const std::string& line) const;

    // Every named window inside the game window, bottom to top: the host's controls
    // ("host:8003"), its chat window and input ("host:chat", "host:input") and the game's own
    // windows (DumpNameOf). The controls of a named window belong to it and are not listed.
    std::vector<tagNamedWindow> ListNamedWindows() const;
    // The lowest listed window of that name, else the game window when the name is its own.
    std::optional<tagNamedWindow> FindNamedWindow(std::string_view name) const;

    // ---- What the game overrides ------------------------------------------------------------

    virtual bool SetupGameFrame() { return true; }
    virtual void ResetTableState() {}
    virtual void ShowOptionsDialog() {}
    virtual bool OnGameClock(WORD /*wChairID*/, UINT /*nElapse*/, UINT /*nTimerID*/) { return false; }
    virtual void OnLookonStateChanged() {}
    virtual bool HandleGameMessage(WORD /*wSubCmdID*/, const void* /*pData*/, WORD /*wDataSize*/) { return true; }
    virtual bool HandleSceneMessage(BYTE /*cbGameStatus*/, bool /*bLookon*/, const void* /*pData*/, WORD /*wDataSize*/) { return true; }
    virtual void RectifyControl(int /*nWidth*/, int /*nHeight*/) {}
    virtual bool OnFrameMessage(WORD /*wSubCmdID*/, const void* /*pData*/, WORD /*wDataSize*/) { return false; }
    virtual void OnEventUserEnter(const tagUserData* /*pUserData*/, WORD /*wChairID*/, bool /*bLookon*/) {}
    virtual void OnUserLeft(const tagUserData* /*pUserData*/, WORD /*wChairID*/, bool /*bLookon*/) {}
    virtual void OnEventUserScore(const tagUserData* /*pUserData*/, WORD /*wChairID*/, bool /*bLookon*/) {}
    virtual void OnEventUserStatus(const tagUserData* /*pUserData*/, WORD /*wChairID*/, bool /*bLookon*/) {}
    virtual void OnHostStartRequest() {}
    virtual void OnBnClickedComplaint() {}

protected:
    virtual BOOL OnInitDialog();
    void OnSize(UINT nType, int cx, int cy) override;
    void OnMove(int x, int y) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnWidgetCreated(QWidget* widget) override;
    // The game window closing ends the game: the close is reported ("close"), the window and
    // its seat clock go, and the program's event loop ends.
    void OnClose() override;

private:
    class Kernel : public IClientKernel {
    public:
        explicit Kernel(const tagServerAttribute& attribute) : m_attribute(attribute) {}
        const tagServerAttribute* GetServerAttribute() const override { return &m_attribute; }

    private:
        const tagServerAttribute& m_attribute;
    };

    void ClockTick();
    void AppendChatLine(std::string_view text, COLORREF crColor);

    CGameFrameView* m_pGameView;
    IServerLink* m_pLink = nullptr;
    HostEventSink m_eventSink;

    WORD m_wMeChairID = 0;
    bool m_bLookon = false;
    bool m_bAllowLookon = false;
    bool m_bAllowUserLookon = false;
    bool m_bSecret = false;
    BYTE m_cbGameStatus = 0;
    std::array<std::unique_ptr<tagUserData>, 3> m_users;

    WORD m_wClockChair = 0xFFFF;
    UINT m_nClockID = 0;
    UINT m_nClockSeconds = 0;
    int m_clockOwner = 0;  // the address keys the seat clock at the timer host

    tagServerAttribute m_attribute;
    Kernel m_kernel{m_attribute};

    std::vector<std::string> m_chatLines;
    mutable std::string m_strTraceName;
    std::vector<std::unique_ptr<CWnd>> m_hostControls;
    // Owned by the game window's widget, which may be destroyed first (the player closed it): the
    // pointers clear themselves then.
    QPointer<QPlainTextEdit> m_pChatMessage;
    QPointer<QLineEdit> m_pChatInput;
    QPointer<QComboBox> m_pPhraseList;
};

// The table view base. The host lays the view out for its client size, asks it to paint into
// its back buffer, and offers the seat clocks and ready marks to draw.
class CGameFrameView : public CWnd {
public:
    CGameFrameView(bool bDoubleBuffer, UINT nBufferColor, void* pThreadDraw);
    ~CGameFrameView() override = default;

    void SetFrame(CGameFrameDlg* pFrame) { m_pFrame = pFrame; }
    CGameFrameDlg* GetFrame() const { return m_pFrame; }

    // Redraws the view (the rectangle only narrows what must be redrawn and may be null).
    void UpdateGameView(const CRect* pRect);
    // The user and clock of a view position (1 bottom = the local chair, 2 right, 0 left).
    const tagUserData* GetUserInfo(WORD wViewPos) const;
    UINT GetUserTimer(WORD wViewPos) const;
    // A clock face with two digits; 99 is the largest value it shows.
    void DrawUserTimer(CDC* pDC, int nXPos, int nYPos, UINT nTime, UINT nTimerLimit = 99);
    // The ready mark of a seat.
    void DrawUserReady(CDC* pDC, int nXPos, int nYPos, int nMode = 0);
    void SetClockEffect(bool bUrgent) { m_bClockEffect = bUrgent; }
    bool GetClockEffect() const { return m_bClockEffect; }

    // The host's hooks into the game's view.
    virtual void ResetTableView() {}
    virtual void LayoutTableView(int /*nWidth*/, int /*nHeight*/) {}
    virtual void PaintTableView(CDC* /*pDC*/, int /*nWidth*/, int /*nHeight*/) {}

    // Avatar and border sizes the layout works with.
    int m_nXFace = 48;
    int m_nYFace = 48;
    int m_nXBorder = 5;
    int m_nYBorder = 5;

    // Per view position: where the clock and the ready mark are drawn, and two tables of the host
    // (face and name places) that the game fills and the host may read.
    CPoint m_ptUserTimer[3];
    CPoint m_ptUserReady[3];
    CPoint m_ptFace[3];
    CPoint m_ptName[3];

protected:
    void OnDraw(CDC* pDC) override;
    void OnSize(UINT nType, int cx, int cy) override;

private:
    CGameFrameDlg* m_pFrame = nullptr;
    bool m_bClockEffect = false;
};

// The application: creates the game window the game supplies and keeps it.
class CGameFrameApp {
public:
    CGameFrameApp();
    virtual ~CGameFrameApp();

    virtual bool InitInstance();
    virtual CGameFrameDlg* CreateGameFrame() = 0;
    CGameFrameDlg* GetGameFrame() const { return m_pFrame.get(); }
    // Makes the game window (InitInstance does it when the application starts).
    bool CreateFrame(bool bShow);

private:
    std::unique_ptr<CGameFrameDlg> m_pFrame;
};
