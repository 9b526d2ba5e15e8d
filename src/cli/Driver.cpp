#include "cli/Driver.h"

#include <QImage>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/GameClientApp.h"
#include "app/GameClientDlg.h"
#include "cli/HeadlessApplication.h"
#include "interaction/Commands.h"
#include "logic/CardText.h"
#include "platform/ModalScript.h"
#include "platform/MouseInput.h"
#include "platform/ServicesRecording.h"
#include "platform/SkinDialog.h"
#include "platform/TimerHost.h"
#include "platform/WindowDump.h"
#include "platform/sound/RecordingSoundBackend.h"
#include "support/DataPaths.h"
#include "support/ErrorMessage.h"
#include "support/LocalTime.h"

namespace cli {
namespace {

// Every button of the table view, in id order.
const int kViewButtonIds[] = {100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117,
                              118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 129, 131, 132, 133, 135, 1003};

// The table view's own timers, in id order.
const UINT_PTR kViewTimerIds[] = {CGameClientView::IDT_SCORE_SLIDE, CGameClientView::IDT_MATCH_SLIDE,
    CGameClientView::IDT_COVER_FADE, CGameClientView::IDT_CARD_ALARM, CGameClientView::IDT_TOP_BADGE,
    CGameClientView::IDT_BACK_FLIP, CGameClientView::IDT_NO_BIGGER, CGameClientView::IDT_BACK_FLY,
    CGameClientView::IDT_MATCH_COUNTDOWN, CGameClientView::IDT_PRIZE_ROLL, CGameClientView::IDT_CHAT_FLASH,
    CGameClientView::IDT_TASK_CARTOON, CGameClientView::IDT_CHANGE_SCORE, CGameClientView::IDT_ADD_AWARD};

class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

long ParseNumber(const std::string& text)
{
    try {
        std::size_t used = 0;
        const long value = std::stol(text, &used, 0);
        if (used == text.size())
            return value;
    } catch (const std::exception&) {
    }
    throw ScriptError("not a number: '" + text + "'");
}

// Hex pairs with optional spaces ("01 4F" or "014F").
std::vector<uint8_t> ParseBytes(const std::vector<std::string>& words, std::size_t first)
{
    std::string hex;
    for (std::size_t i = first; i < words.size(); ++i)
        hex += words[i];
    if (hex.size() % 2 != 0)
        throw ScriptError("odd number of hex digits");
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const std::string pair = hex.substr(i, 2);
        if (!std::isxdigit(static_cast<unsigned char>(pair[0])) || !std::isxdigit(static_cast<unsigned char>(pair[1])))
            throw ScriptError("not hex: '" + pair + "'");
        bytes.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
    }
    if (bytes.size() > 0xFFFF)
        throw ScriptError("body too long");
    return bytes;
}

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

class Driver {
public:
    explicit Driver(std::ostream& out) : m_out(out), m_timers(m_host)
    {
        SetDialogService(&m_dialogs);
        SetShellService(&m_shell);
        SetSoundBackend(&m_sound);
        InstallPlatformHooks();
        m_shell.SetDesktopFolder(QString::fromStdString((UserDataFolder() / "Desktop").string()), true);
        // A fixed moment, so that time-stamped names (screenshots, saved replays) can be checked.
        SetLocalTimeSource([] { return LocalDateTime{2009, 3, 7, 21, 5, 9}; });
        const auto print = [this](const QString& line) { m_out << line.toStdString() << '\n'; };
        m_dialogs.SetSink(print);
        m_shell.SetSink(print);
        m_sound.SetSink(print);
        SeedClientRandom(0);
        SetModalHook([this](CSkinDialog& dialog) { m_modal.Run(dialog); });

        m_dlg = std::make_unique<CGameClientDlg>();
        m_dlg->SetServerLink(&m_link);
        m_dlg->SetEventSink([this](const std::string& line) { m_out << line << '\n'; });
        if (!m_dlg->CreateGameWindow(true))
            throw ScriptError("the game window could not be created");
        m_host.flushPosted();
    }

    ~Driver()
    {
        SetModalHook(nullptr);
        m_dlg.reset();
        SetLocalTimeSource({});
        SetErrorMessageHook({});
        SetSoundBackend(nullptr);
        SetShellService(nullptr);
        SetDialogService(nullptr);
    }

    // Opens a replay file the way a player does (the replay button and its file dialog) and plays
    // it to its end on the virtual clock. False when the window did not start playing it.
    bool PlayReplay(const std::string& file)
    {
        m_dialogs.QueueOpenFile(QString::fromStdString(std::filesystem::absolute(file).string()));
        m_dlg->PostMessage(UM_OPEN_REPLAY, 0, 0);
        m_host.flushPosted();
        if (!m_dlg->IsPlaybackRunning())
            return false;
        // A file holds at most a few thousand packets; the bound only keeps a damaged one finite.
        for (int second = 0; second < 1000000 && m_dlg->IsPlaybackRunning(); ++second) {
            m_host.advance(1000);
            m_host.flushPosted();
        }
        return true;
    }

    // Saves what the game window shows.
    bool Grab(const std::string& path)
    {
        m_host.flushPosted();
        // The script may have closed the game window.
        if (!m_dlg->GetSafeHwnd())
            return false;
        const QImage picture = m_dlg->GetSafeHwnd()->grab().toImage();
        return !picture.isNull() && picture.save(QString::fromStdString(path), "PNG");
    }

    void Run(const std::string& line)
    {
        const auto hash = line.find('#');
        const auto words = Words(hash == std::string::npos ? line : line.substr(0, hash));
        if (words.empty())
            return;
        Execute(words);
        m_host.flushPosted();
        PaintPending();
    }

private:
    CGameClientView& View() { return m_dlg->GetClientView(); }

    void Execute(const std::vector<std::string>& w)
    {
        const std::string& command = w[0];
        auto need = [&](std::size_t count) {
            if (w.size() < count + 1)
                throw ScriptError(command + ": expected " + std::to_string(count) + " argument(s)");
        };
        if (command == "me") {
            need(1);
            m_dlg->SetMeChairID(static_cast<WORD>(ParseNumber(w[1])));
        } else if (command == "user") {
            need(2);
            User(w);
        } else if (command == "lookon") {
            need(1);
            bool allow = m_dlg->IsAllowLookon();
            for (std::size_t i = 2; i < w.size(); ++i) {
                if (w[i].rfind("allow=", 0) == 0)
                    allow = ParseNumber(w[i].substr(6)) != 0;
            }
            m_dlg->SetLookonState(ParseNumber(w[1]) != 0, allow);
        } else if (command == "roomkind") {
            need(1);
            m_dlg->SetRoomKind(static_cast<WORD>(ParseNumber(w[1])));
        } else if (command == "msg") {
            need(1);
            const auto sub = static_cast<WORD>(ParseNumber(w[1]));
            const auto body = ParseBytes(w, 2);
            const bool ok = m_dlg->DeliverGameMessage(sub, body.data(), static_cast<WORD>(body.size()));
            m_out << "ret msg " << sub << ' ' << (ok ? 1 : 0) << '\n';
        } else if (command == "scene") {
            need(2);
            const auto state = static_cast<BYTE>(ParseNumber(w[1]));
            const bool lookon = ParseNumber(w[2]) != 0;
            const auto body = ParseBytes(w, 3);
            const bool ok = m_dlg->DeliverSceneMessage(state, lookon, body.data(), static_cast<WORD>(body.size()));
            m_out << "ret scene " << int(state) << ' ' << (ok ? 1 : 0) << '\n';
        } else if (command == "advance") {
            need(1);
            m_host.advance(ParseNumber(w[1]));
        } else if (command == "click") {
            need(1);
            Click(static_cast<int>(ParseNumber(w[1])));
        } else if (command == "raise") {
            const auto cards = ParseBytes(w, 1);
            View().m_HandCardControl[1].RaiseCards(cards.data(), static_cast<BYTE>(std::min<std::size_t>(cards.size(), MAX_HAND)));
        } else if (command == "handcards") {
            const auto cards = ParseBytes(w, 1);
            View().m_HandCardControl[1].SetCards(cards.data(), cards.size());
        } else if (command == "reset") {
            m_dlg->ResetGameFrame();
        } else if (command == "hoststart") {
            m_dlg->RequestStart();
        } else if (command == "cardclick") {
            need(1);
            const int slot = static_cast<int>(ParseNumber(w[1]));
            Press(SlotPoint(slot), SlotPoint(slot));
        } else if (command == "carddrag") {
            need(2);
            Press(SlotPoint(static_cast<int>(ParseNumber(w[1]))), SlotPoint(static_cast<int>(ParseNumber(w[2]))));
        } else if (command == "handclick") {
            need(2);
            const CPoint point(static_cast<int>(ParseNumber(w[1])), static_cast<int>(ParseNumber(w[2])));
            Press(point, point);
        } else if (command == "rightclick") {
            SimulateRightClick(&View(), TablePoint());
        } else if (command == "dblclick") {
            SimulateMouse(&View(), WM_LBUTTONDOWN, TablePoint(), MK_LBUTTON);
            SimulateMouse(&View(), WM_LBUTTONUP, TablePoint());
            SimulateMouse(&View(), WM_LBUTTONDBLCLK, TablePoint(), MK_LBUTTON);
            SimulateMouse(&View(), WM_LBUTTONUP, TablePoint());
        } else if (command == "resize") {
            need(2);
            const int width = static_cast<int>(ParseNumber(w[1]));
            const int height = static_cast<int>(ParseNumber(w[2]));
            if (width <= 0 || height <= 0 || width > 10000 || height > 10000)
                throw ScriptError("resize: size out of range");
            m_dlg->MoveWindow(0, 0, width, height);
        } else if (command == "geometry") {
            Geometry();
        } else if (command == "post") {
            need(3);
            m_dlg->PostMessage(static_cast<UINT>(ParseNumber(w[1])), static_cast<WPARAM>(ParseNumber(w[2])),
                               static_cast<LPARAM>(ParseNumber(w[3])));
        } else if (command == "hand") {
            Hand();
        } else if (command == "buttons") {
            Buttons();
        } else if (command == "state") {
            m_out << m_dlg->DescribeState() << '\n';
        } else if (command == "mission") {
            m_out << m_dlg->DescribeMissions() << '\n';
        } else if (command == "view") {
            DescribeView();
        } else if (command == "pictures") {
            Pictures();
        } else if (command == "cards") {
            Cards();
        } else if (command == "windows") {
            Windows();
        } else if (command == "wclick") {
            need(2);
            WindowClick(w[1], static_cast<int>(ParseNumber(w[2])));
        } else if (command == "wpress") {
            need(3);
            WindowPress(w[1], CPoint(static_cast<int>(ParseNumber(w[2])), static_cast<int>(ParseNumber(w[3]))));
        } else if (command == "wdump") {
            need(1);
            WindowDump(w[1]);
        } else if (command == "onmodal") {
            need(1);
            std::vector<tagModalAction> actions;
            for (std::size_t i = 2; i < w.size(); ++i) {
                const auto action = ParseModalAction(w[i]);
                if (!action)
                    throw ScriptError("onmodal: not an action: '" + w[i] + "'");
                actions.push_back(*action);
            }
            m_modal.Queue(w[1], std::move(actions));
        } else if (command == "move") {
            need(2);
            Move(CPoint(static_cast<int>(ParseNumber(w[1])), static_cast<int>(ParseNumber(w[2]))));
        } else if (command == "whover" || command == "wleave") {
            need(2);
            Hover(w[1], static_cast<int>(ParseNumber(w[2])), command == "whover");
        } else if (command == "options") {
            // A closed game window has no options to show.
            if (m_dlg->GetSafeHwnd())
                m_dlg->ShowOptionsDialog();
        } else if (command == "host") {
            m_out << "host sound=" << int(m_dlg->IsEnableSound()) << " bgsound=" << int(m_dlg->IsEnableBkgrndSound())
                  << " allowlookon=" << int(m_dlg->IsAllowUserLookon()) << " lookon=" << int(m_dlg->IsLookonMode()) << '\n';
        } else {
            throw ScriptError("unknown command '" + command + "'");
        }
    }

    void User(const std::vector<std::string>& w)
    {
        const auto chair = static_cast<WORD>(ParseNumber(w[1]));
        if (w[2] == "none") {
            m_dlg->SetUserData(chair, nullptr);
            return;
        }
        tagUserData user;
        for (std::size_t i = 2; i < w.size(); ++i) {
            const auto eq = w[i].find('=');
            if (eq == std::string::npos)
                throw ScriptError("user: expected NAME=VALUE, got '" + w[i] + "'");
            const std::string key = w[i].substr(0, eq);
            const std::string value = w[i].substr(eq + 1);
            if (key == "name") {
                std::strncpy(user.szName, value.c_str(), sizeof(user.szName) - 1);
            } else {
                const long number = ParseNumber(value);
                if (key == "gender")
                    user.cbGender = static_cast<BYTE>(number);
                else if (key == "dialect")
                    user.cbDialect = static_cast<BYTE>(number);
                else if (key == "status")
                    user.cbUserStatus = static_cast<BYTE>(number);
                else if (key == "score")
                    user.lScore = static_cast<LONG>(number);
                else if (key == "id")
                    user.dwUserID = static_cast<DWORD>(number);
                else if (key == "gold")
                    user.lGold = static_cast<LONG>(number);
                else if (key == "lottery")
                    user.lLottery = static_cast<LONG>(number);
                else if (key == "level")
                    user.dwLevel = static_cast<DWORD>(number);
                else
                    throw ScriptError("user: unknown field '" + key + "'");
            }
        }
        m_dlg->SetUserData(chair, &user);
    }

    void Click(int id)
    {
        if (!SimulateControlClick(&View(), id))
            m_out << "click " << id << " ignored\n";
    }

    // Every named window of the game, bottom to top: "window NAME V X,Y,W,H" in game-window
    // coordinates, V 1 when it is shown.
    void Windows()
    {
        for (const tagNamedWindow& window : m_dlg->ListNamedWindows()) {
            const QWidget* widget = window.pWidget;
            const QPoint origin = widget->mapTo(widget->window(), QPoint(0, 0));
            bool shown = true;
            for (const QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget())
                shown = shown && !w->isHidden();
            m_out << "window " << window.strName << ' ' << (shown ? 1 : 0) << ' ' << origin.x() << ',' << origin.y() << ','
                  << widget->width() << ',' << widget->height() << '\n';
        }
    }

    // Every window of the game runs the paint pass it is waiting for, as the event loop would
    // before the player sees the table again.
    void PaintPending()
    {
        QWidget* game = m_dlg->GetSafeHwnd();
        if (!game)
            return;
        for (QWidget* widget : game->findChildren<QWidget*>()) {
            if (CWnd* wnd = CWnd::FromWidget(widget))
                wnd->UpdateWindow();
        }
        m_dlg->UpdateWindow();
    }

    // The game window moves on the desktop; the popups over the table follow it.
    void Move(CPoint to)
    {
        if (!m_dlg->GetSafeHwnd())
            return;
        // The window's move handling takes the popups along.
        m_dlg->SetWindowPos(nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The pointer enters or leaves control ID of window NAME (or the named control itself).
    void Hover(const std::string& name, int id, bool enter)
    {
        CWnd* control = NamedWindow(name);
        if (control && control->GetDlgCtrlID() != id)
            control = control->GetDlgItem(id);
        if (!control || !control->IsWindowVisible()) {
            m_out << (enter ? "whover " : "wleave ") << name << ' ' << id << " ignored\n";
            return;
        }
        CRect rect;
        control->GetClientRect(&rect);
        if (enter)
            SimulateMouse(control, WM_MOUSEMOVE, CPoint(rect.Width() / 2, rect.Height() / 2));
        else
            control->DispatchQueuedMessage(WM_MOUSELEAVE, 0, 0);
    }

    CWnd* NamedWindow(const std::string& name)
    {
        const auto window = m_dlg->FindNamedWindow(name);
        return window ? window->pWnd : nullptr;
    }

    // A named control (a title button) is pressed as a control of its parent.
    void WindowClick(const std::string& name, int id)
    {
        CWnd* window = NamedWindow(name);
        if (window && window->GetDlgCtrlID() == id)
            window = window->GetParent();
        if (!SimulateControlClick(window, id))
            m_out << "wclick " << name << ' ' << id << " ignored\n";
    }

    void WindowPress(const std::string& name, CPoint point)
    {
        CWnd* window = NamedWindow(name);
        if (!window || !window->IsWindowVisible() || !SimulateClick(window, point))
            m_out << "wpress " << name << ' ' << point.x << ' ' << point.y << " ignored\n";
    }

    void WindowDump(const std::string& name)
    {
        const auto window = m_dlg->FindNamedWindow(name);
        if (!window)
            m_out << "wdump " << name << " absent\n";
        else if (!window->pWnd)
            m_out << "wdump " << name << '\n';
        else
            m_out << WindowDumpLine(name, *window->pWnd) << '\n';
    }

    // A point of the table where no child window lies: the middle of the top edge.
    CPoint TablePoint()
    {
        CRect rect;
        View().GetClientRect(&rect);
        return CPoint(rect.Width() / 2, 30);
    }

    // A point on the visible part of a slot of the local hand.
    CPoint SlotPoint(int slot)
    {
        const CCardControl& hand = View().m_HandCardControl[1];
        tagCardSlot cardSlots[MAX_HAND];
        const int count = static_cast<int>(hand.GetCards(cardSlots, MAX_HAND));
        const CardRowMetrics metrics = hand.GetMetrics();
        const bool raised = slot >= 0 && slot < count && cardSlots[slot].bRaised;
        // The left strip of a card is never covered by the next one.
        return CPoint(slot * metrics.nSpaceX + std::max(1, metrics.nSpaceX / 2),
                      raised ? std::max(1, metrics.nRaiseHeight / 2) : metrics.nCardHeight + metrics.nRaiseHeight / 2);
    }

    // A left press and release on the local hand, with a move between when they differ. Points
    // are in the hand's client coordinates; Qt decides which window gets them, as for a user.
    void Press(CPoint down, CPoint up)
    {
        CCardControl& hand = View().m_HandCardControl[1];
        SimulateMouse(&hand, WM_MOUSEMOVE, down);
        SimulateMouse(&hand, WM_LBUTTONDOWN, down, MK_LBUTTON);
        if (!(up == down))
            SimulateMouse(&hand, WM_MOUSEMOVE, up, MK_LBUTTON);
        SimulateMouse(&hand, WM_LBUTTONUP, up);
    }

    void Geometry()
    {
        std::vector<std::pair<int, CRect>> rows;
        for (QObject* object : View().GetSafeHwnd()->children()) {
            auto* widget = qobject_cast<QWidget*>(object);
            CWnd* child = widget ? CWnd::FromWidget(widget) : nullptr;
            if (!child || child->GetDlgCtrlID() == 0 || child->GetParent() != &View())
                continue;
            CRect rect;
            child->GetWindowRect(&rect);
            View().ScreenToClient(&rect);
            rows.emplace_back(child->GetDlgCtrlID(), rect);
        }
        std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        m_out << "geometry";
        for (const auto& [id, rect] : rows)
            m_out << ' ' << id << ':' << rect.left << ',' << rect.top << ',' << rect.Width() << ',' << rect.Height();
        m_out << '\n';
    }

    void Hand()
    {
        tagCardSlot cardSlots[MAX_HAND];
        const auto count = View().m_HandCardControl[1].GetCards(cardSlots, MAX_HAND);
        m_out << "hand";
        for (std::size_t i = 0; i < count; ++i)
            m_out << ' ' << (cardSlots[i].bRaised ? "^" : "") << FormatCards(&cardSlots[i].cbCard, 1);
        m_out << '\n';
    }

    // What the table view shows of the small messages and the seats: "view NAME=VALUE ...", with
    // per-seat and per-item values joined by commas.
    void DescribeView()
    {
        const CGameClientView& v = View();
        auto join = [](const auto& values) {
            std::string text;
            for (const auto& value : values) {
                if (!text.empty())
                    text += ',';
                text += std::to_string(static_cast<long long>(value));
            }
            return text;
        };
        m_out << "view m_wGameMode=" << v.m_wGameMode << " m_cbMatchMode=" << int(v.m_cbMatchMode) << " m_lPrizeValue=" << v.m_lPrizeValue
              << " m_dwRank=" << v.m_dwRank << " m_dwRankTotal=" << v.m_dwRankTotal << " m_llCountdown=" << v.m_llCountdown
              << " m_dwMatchStage=" << v.m_dwMatchStage << " m_dwStageCount=" << v.m_dwStageCount << " m_dwMatchRound=" << v.m_dwMatchRound
              << " m_dwRoundCount=" << v.m_dwRoundCount << " m_MatchRanks=" << join(v.m_MatchRanks.dwUserValue)
              << " m_bSeatOffline=" << join(v.m_bSeatOffline) << " m_lItemPrice=" << join(v.m_lItemPrice)
              << " m_bChangeScoreShown=" << int(v.m_bChangeScoreShown) << " m_wChangeScoreCode=" << v.m_wChangeScoreCode
              << " m_bAnonymous=" << v.m_bAnonymous << " m_lBaseScore=" << v.m_lBaseScore << " m_lRoundTotal=" << v.m_lRoundTotal
              << " m_bWaitCallScore=" << int(v.m_bWaitCallScore) << " m_wMultiple=" << v.m_wMultiple
              << " m_lLastScore=" << join(v.m_lLastScore) << " m_cbSeatBid=" << join(v.m_cbSeatBid)
              << " m_bSeatPassed=" << join(v.m_bSeatPassed) << " m_bSeatBang=" << join(v.m_bSeatBang)
              << " m_bSeatTrustee=" << join(v.m_bSeatTrustee) << " m_cbCardsLeft=" << join(v.m_cbCardsLeft)
              << " m_wLordSeat=" << v.m_wLordSeat << " m_cbLordBid=" << int(v.m_cbLordBid) << " m_wBangSeat=" << v.m_wBangSeat
              << " m_dwAlarmCards=" << join(v.m_dwAlarmCards) << " m_cbAlarmPlay=" << join(v.m_cbAlarmPlay)
              << " m_bTopBadge=" << join(v.m_bTopBadge) << " m_cbPlayCount=" << int(v.m_cbPlayCount)
              << " m_bShowCardsLeft=" << int(v.m_bShowCardsLeft) << " m_bNoBiggerShown=" << int(v.m_bNoBiggerShown)
              << " m_nFlipFrame=" << v.m_nFlipFrame << " m_cbFlyStep=" << int(v.m_cbFlyStep)
              << " m_bOrderSortCard=" << int(v.m_bOrderSortCard) << " m_cbOutCount=" << join(v.m_cbOutCount)
              << " m_cbLeftCount=" << join(v.m_cbLeftCount) << " m_lSeatMultiple=" << join(v.m_lSeatMultiple)
              << " m_lSeatTotal=" << join(v.m_lSeatTotal) << " m_bScoreShown=" << int(v.m_bScoreShown)
              << " m_bReplayNames=" << int(v.m_bReplayNames);
        // The effects' state, and which of the view's timers run now.
        std::vector<UINT_PTR> timers;
        for (UINT_PTR id : kViewTimerIds) {
            if (v.IsViewTimerRunning(id))
                timers.push_back(id);
        }
        m_out << " m_bChatFlash=" << v.m_bChatFlash << " m_nChatFlashCount=" << v.m_nChatFlashCount
              << " m_bAlarmRunning=" << v.m_bAlarmRunning << " m_nAlarmStep=" << v.m_nAlarmStep
              << " m_bBadgeRunning=" << v.m_bBadgeRunning << " m_nBadgeStep=" << v.m_nBadgeStep
              << " m_bFadeRunning=" << v.m_bFadeRunning << " m_nFadeDirection=" << v.m_nFadeDirection
              << " m_nFadeStep=" << v.m_nFadeStep << " m_nNoBiggerCount=" << v.m_nNoBiggerCount
              << " m_nScorePanelHeight=" << v.m_nScorePanelHeight << " m_nMatchPanelHeight=" << v.m_nMatchPanelHeight
              << " m_nPrizeOffset=" << join(v.m_nPrizeOffset) << " m_nPrizeTarget=" << join(v.m_nPrizeTarget)
              << " m_bTaskCartoon=" << int(v.m_bTaskCartoon) << " m_wTaskFlagCartoonIndex=" << v.m_wTaskFlagCartoonIndex
              << " m_wTaskCartoonTimes=" << v.m_wTaskCartoonTimes << " m_nAlpha=" << v.m_nAlpha
              << " m_bAddAwardShown=" << int(v.m_bAddAwardShown) << " m_nAddAwardRise=" << v.m_nAddAwardRise
              << " timers=" << (timers.empty() ? std::string("-") : join(timers)) << '\n';
    }

    // Every card control of the table but the local hand: "cards hand0=... out1=... back=... deck=N",
    // raised cards marked "^" as in the hand dump; the deck shows its size and raised cards only.
    void Cards()
    {
        auto list = [](const CCardControl& control) {
            std::vector<tagCardSlot> cells(FULL_DECK);
            const auto count = control.GetCards(cells.data(), cells.size());
            std::string text;
            // Appended piece by piece: a literal followed by operator+ of a temporary string draws
            // a false overlap warning from GCC 12 at -O3.
            for (std::size_t i = 0; i < count; ++i) {
                if (!text.empty())
                    text += ',';
                if (cells[i].bRaised)
                    text += '^';
                text += FormatCards(&cells[i].cbCard, 1);
            }
            return text.empty() ? std::string("-") : text;
        };
        CGameClientView& v = View();
        std::vector<tagCardSlot> deck(FULL_DECK);
        const auto deckCount = v.m_DeckCardControl.GetCards(deck.data(), deck.size());
        std::string raised;
        for (std::size_t i = 0; i < deckCount; ++i) {
            if (!deck[i].bRaised)
                continue;
            raised += ",^";
            raised += FormatCards(&deck[i].cbCard, 1);
            raised += '@';
            raised += std::to_string(i);
        }
        m_out << "cards hand0=" << list(v.m_HandCardControl[0]) << " hand2=" << list(v.m_HandCardControl[2])
              << " out0=" << list(v.m_UserCardControl[0]) << " out1=" << list(v.m_UserCardControl[1])
              << " out2=" << list(v.m_UserCardControl[2]) << " back=" << list(v.m_BackCardControl)
              << " deck=" << int(deckCount) << raised << '\n';
    }

    void Pictures()
    {
        m_out << "pictures";
        for (int id : kViewButtonIds) {
            if (const CPngButton* button = View().GetButton(static_cast<UINT>(id)))
                m_out << ' ' << id << ':' << button->GetImagePath();
        }
        m_out << '\n';
    }

    void Buttons()
    {
        m_out << "buttons";
        for (int id : kViewButtonIds) {
            CWnd* button = View().GetDlgItem(id);
            if (!button)
                continue;
            m_out << ' ' << id << ':' << (button->IsWindowVisible() ? 'V' : '-') << (button->IsWindowEnabled() ? 'E' : '-');
        }
        m_out << '\n';
    }

    std::ostream& m_out;
    VirtualTimerHost m_host;
    ScopedTimerHost m_timers;
    CRecordingDialogService m_dialogs;
    CRecordingShellService m_shell;
    CRecordingSoundBackend m_sound;
    CRecordingServerLink m_link;
    CModalScript m_modal{[this](const std::string& line) { m_out << line << '\n'; }, [this](long ms) { m_host.advance(ms); },
        [this] { m_host.flushPosted(); }};
    std::unique_ptr<CGameClientDlg> m_dlg;
};

}  // namespace

namespace {

// Runs a script through a driver; the output of the driver goes to `out`. After the script,
// `finish` gets the driver (for a snapshot). Returns the exit status.
template <typename Finish, typename Prepare = bool (*)(Driver&)>
int RunScript(const std::string& command, const std::string& path, std::istream& in, std::ostream& out, std::ostream& err,
              Finish&& finish, Prepare&& prepare = [](Driver&) { return true; })
{
    std::ifstream file;
    std::istream* script = &in;
    if (path != "-") {
        file.open(path);
        if (!file) {
            err << "qarrum-cli " << command << ": cannot open '" << path << "'\n";
            return 2;
        }
        script = &file;
    }

    const HeadlessApplication app;

    int lineNumber = 0;
    try {
        Driver driver(out);
        if (!prepare(driver))
            return 1;
        for (std::string line; std::getline(*script, line);) {
            ++lineNumber;
            if (line.size() > 100000)
                throw ScriptError("line too long");
            driver.Run(line);
        }
        return finish(driver);
    } catch (const ScriptError& error) {
        out.flush();
        err << "qarrum-cli " << command << ": line " << lineNumber << ": " << error.what() << '\n';
        return 2;
    }
}

}  // namespace

int RunDriveCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    if (args.size() != 2) {
        err << "qarrum-cli drive: expected one script file (- for standard input)\n";
        return 2;
    }
    return RunScript("drive", args[1], in, out, err, [](Driver&) { return 0; });
}

int RunReplayCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--then")) {
        err << "qarrum-cli replay: expected FILE.vid [--then SCRIPT]\n";
        return 2;
    }
    const std::string& file = args[1];
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        err << "qarrum-cli replay: cannot open '" << file << "'\n";
        return 2;
    }
    // Without a script to follow, the playback is all there is: an empty script.
    std::istringstream none;
    const std::string script = args.size() == 4 ? args[3] : "-";
    return RunScript(
        "replay", script, args.size() == 4 ? in : none, out, err, [](Driver&) { return 0; },
        [&](Driver& driver) {
            if (driver.PlayReplay(file))
                return true;
            out.flush();
            err << "qarrum-cli replay: '" << file << "' was not played (see the message above)\n";
            return false;
        });
}

int RunSnapshotCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    if (args.size() != 4 || args[2] != "--out") {
        err << "qarrum-cli snapshot: expected SCRIPT --out FILE.png\n";
        return 2;
    }
    std::ostringstream ignored;
    const std::string& picture = args[3];
    return RunScript("snapshot", args[1], in, ignored, err, [&](Driver& driver) {
        if (driver.Grab(picture))
            return 0;
        err << "qarrum-cli snapshot: cannot write '" << picture << "'\n";
        out.flush();
        return 1;
    });
}

}  // namespace cli
