// The card control as a window: placement and shape, the mouse, notifications, and what it paints.
#include "interaction/CardControl.h"
#include "interaction/Commands.h"
#include "platform/MouseInput.h"
#include "platform/TimerHost.h"
#include "support/DataPaths.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

// The generated card picture: every cell one plain colour, none of them black.
constexpr int kCellW = 71;
constexpr int kCellH = 96;

QRgb CellColour(int column, int row) { return qRgb(20 + 17 * column, 40 + 45 * row, 200 - 9 * column); }

QRgb CardColour(BYTE card)
{
    if (card == 0x4E || card == 0x4F)
        return CellColour(card - 0x4E, 4);
    return CellColour((card & 0x0F) - 1, card >> 4);
}
const QRgb kBack = CellColour(2, 4);

// The picture is read once for the whole program, so it is in place before the first control.
class CardSheetEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_client";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
        std::string pattern = (std::filesystem::temp_directory_path() / "qarrum-cards-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        const std::filesystem::path root = pattern;
        std::filesystem::create_directories(root / "Telvo" / "img");
        QImage sheet(13 * kCellW, 5 * kCellH, QImage::Format_RGB32);
        for (int y = 0; y < sheet.height(); ++y) {
            for (int x = 0; x < sheet.width(); ++x)
                sheet.setPixel(x, y, CellColour(x / kCellW, y / kCellH));
        }
        ASSERT_TRUE(sheet.save(QString::fromStdString((root / "Telvo" / "img" / "CARD.bmp").string()), "BMP"));
        SetDataFolders(root, root);
        CCardControl first;
        ClearDataFolders();
        std::filesystem::remove_all(root);
    }
};

[[maybe_unused]] testing::Environment* const g_cardSheet = testing::AddGlobalTestEnvironment(new CardSheetEnvironment);

// Stands in for the game window: counts what the hand tells it.
class NotifyProbe : public CWnd {
public:
    int clicks = 0;
    int rightClicks = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == UM_CARD_CLICK && wParam == 0 && lParam == 0)
            ++clicks;
        else if (message == UM_CARD_RIGHT_CLICK && wParam == 0 && lParam == 0)
            ++rightClicks;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

std::vector<BYTE> Hand(std::size_t count)
{
    static const BYTE deck[] = {0x01, 0x12, 0x23, 0x34, 0x05, 0x16, 0x27, 0x38, 0x09, 0x1A, 0x2B, 0x3C, 0x0D,
        0x11, 0x22, 0x33, 0x04, 0x4E, 0x4F, 0x15, 0x26, 0x37, 0x08, 0x19, 0x2A};
    return std::vector<BYTE>(deck, deck + count);
}

std::vector<BYTE> Raised(const CCardControl& control)
{
    BYTE cards[CCardControl::kMaxCards];
    return std::vector<BYTE>(cards, cards + control.GetRaisedCards(cards, CCardControl::kMaxCards));
}

class CardControlTest : public testing::Test {
protected:
    void SetUp() override
    {
        CCardControl::EndDrag();
        ASSERT_EQ(CCardControl::GetCardWidth(), kCellW);
        ASSERT_TRUE(m_game.Create(WS_VISIBLE, CRect(0, 0, 1018, 702), nullptr));
        ASSERT_TRUE(m_notify.Create(WS_CHILD, CRect(0, 0, 1, 1), &m_game, 1));
        ASSERT_TRUE(m_hand.Create(WS_CHILD | WS_VISIBLE, CRect(), &m_game, 31));
        m_hand.SetAnchor(509, 575, 1, 2);
        m_hand.AcceptMouse(true);
        m_hand.ShowFaces(true);
        m_hand.SetNotifyWindow(&m_notify);
    }
    void TearDown() override { CCardControl::EndDrag(); }

    void Deal(CCardControl& control, std::size_t count)
    {
        const auto cards = Hand(count);
        control.SetCards(cards.data(), cards.size());
    }
    // A point on the visible strip of a lowered card of the hand.
    static CPoint Slot(int index) { return {index * 16 + 8, 60}; }
    CRect WindowRect(const CCardControl& control) const
    {
        CRect rect;
        control.GetWindowRect(&rect);
        return rect;
    }
    QRgb Pixel(CCardControl& control, CPoint at)
    {
        control.UpdateWindow();
        return control.GetSurface().pixel(at.x, at.y) | 0xFF000000u;
    }

    VirtualTimerHost m_host;
    ScopedTimerHost m_scope{m_host};
    CWnd m_game;
    NotifyProbe m_notify;
    CCardControl m_hand;
};

TEST_F(CardControlTest, TheRowSitsAtItsAnchorForEachAlignmentAndDirection)
{
    Deal(m_hand, 17);
    const int width = 16 * 16 + kCellW;
    EXPECT_EQ(WindowRect(m_hand), CRect(CPoint(509 - width / 2, 575 - (kCellH + 20)), CSize(width, kCellH + 20)));

    m_hand.SetAnchor(958, 192, 2, 0);
    EXPECT_EQ(WindowRect(m_hand), CRect(CPoint(958 - width, 192), CSize(width, kCellH + 20)));

    m_hand.LayFlat(false);
    m_hand.SetAnchor(60, 192, 0, 0);
    Deal(m_hand, 3);
    EXPECT_EQ(WindowRect(m_hand), CRect(CPoint(60, 192), CSize(kCellW, 2 * 19 + kCellH)));

    m_hand.LayFlat(true);
    m_hand.SetCards(nullptr, 0);
    EXPECT_EQ(WindowRect(m_hand).Size(), CSize(0, kCellH + 20));

    // Before the window exists nothing moves; the next change places it.
    CCardControl late;
    Deal(late, 5);
    late.SetAnchor(100, 100, 0, 0);
    ASSERT_TRUE(late.Create(WS_CHILD | WS_VISIBLE, CRect(1, 2, 3, 4), &m_game, 20));
    EXPECT_EQ(WindowRect(late), CRect(1, 2, 3, 4));
    late.SetSpacing(20, 0, 0);
    EXPECT_EQ(WindowRect(late), CRect(CPoint(100, 100), CSize(4 * 20 + kCellW, kCellH)));
}

TEST_F(CardControlTest, ClicksBetweenAndBesideCardsReachTheTable)
{
    m_hand.SetSpacing(90, 0, 20);
    m_hand.SetAnchor(100, 100, 0, 0);
    Deal(m_hand, 3);
    const BYTE middle = Hand(3)[1];
    m_hand.RaiseCards(&middle, 1);

    const auto at = [&](int x, int y) { return m_game.ChildWindowFromPoint(CPoint(100 + x, 100 + y)); };
    EXPECT_EQ(at(30, 60), &m_hand) << "on a lowered card";
    EXPECT_EQ(at(120, 10), &m_hand) << "on the raised card";
    EXPECT_EQ(at(kCellW + 9, 60), &m_game) << "in the gap between two cards";
    EXPECT_EQ(at(30, 5), &m_game) << "above a lowered card";
    EXPECT_EQ(at(120, kCellH + 10), &m_game) << "below the raised card";

    // A real click into the gap lands on the table and changes nothing.
    ASSERT_TRUE(SimulateClick(&m_hand, CPoint(kCellW + 9, 60)));
    m_host.flushPosted();
    EXPECT_EQ(m_notify.clicks, 0);
    EXPECT_EQ(Raised(m_hand), std::vector<BYTE>{middle});
}

TEST_F(CardControlTest, AClickFlipsOneCardAndPostsOneNotification)
{
    Deal(m_hand, 17);
    EXPECT_EQ(m_hand.GetSafeHwnd()->cursor().shape(), Qt::PointingHandCursor);

    ASSERT_TRUE(SimulateClick(&m_hand, Slot(5)));
    EXPECT_EQ(m_notify.clicks, 0) << "posted, not sent";
    EXPECT_EQ(m_host.flushPosted(), 1u);
    EXPECT_EQ(m_notify.clicks, 1);
    EXPECT_EQ(Raised(m_hand), std::vector<BYTE>{Hand(17)[5]});
    EXPECT_EQ(m_hand.GetLastRaisedCount(), 0);
    EXPECT_FALSE(CCardControl::IsDragging());

    // The raised card now stands higher: its top strip is a hit, and a quick second click counts.
    ASSERT_TRUE(SimulateClick(&m_hand, CPoint(5 * 16 + 8, 5)));
    m_host.flushPosted();
    EXPECT_EQ(m_notify.clicks, 2);
    EXPECT_TRUE(Raised(m_hand).empty());
    EXPECT_EQ(m_hand.GetLastRaisedCount(), 1);

    m_hand.AcceptMouse(false);
    EXPECT_EQ(m_hand.GetSafeHwnd()->cursor().shape(), Qt::ArrowCursor);
    ASSERT_TRUE(SimulateClick(&m_hand, Slot(5)));
    m_host.flushPosted();
    EXPECT_EQ(m_notify.clicks, 2);
    EXPECT_TRUE(Raised(m_hand).empty());
}

TEST_F(CardControlTest, ADragRaisesTheRangeUnlessAllOfItIsRaised)
{
    Deal(m_hand, 17);
    const auto cards = Hand(17);
    m_hand.RaiseCards(&cards[4], 1);

    const auto drag = [&](int from, int to) {
        SimulateMouse(&m_hand, WM_LBUTTONDOWN, Slot(from));
        SimulateMouse(&m_hand, WM_MOUSEMOVE, Slot(to), MK_LBUTTON);
        SimulateMouse(&m_hand, WM_LBUTTONUP, Slot(to));
        m_host.flushPosted();
    };
    drag(3, 6);
    EXPECT_EQ(m_notify.clicks, 4);
    EXPECT_EQ(Raised(m_hand), std::vector<BYTE>(cards.begin() + 3, cards.begin() + 7));
    EXPECT_EQ(m_hand.GetLastRaisedCount(), 1);

    // Backwards over the same cards, now all raised (their lower strips are still theirs).
    drag(6, 3);
    EXPECT_EQ(m_notify.clicks, 8);
    EXPECT_TRUE(Raised(m_hand).empty());
    EXPECT_EQ(m_hand.GetLastRaisedCount(), 4);
}

TEST_F(CardControlTest, ADragThatEndsBeyondTheLastCardChangesNothing)
{
    Deal(m_hand, 17);
    SimulateMouse(&m_hand, WM_LBUTTONDOWN, CPoint(16 * 16 + 30, 60));
    // The hand shrinks under the mouse (cards were played) before the button comes up.
    Deal(m_hand, 10);
    SimulateMouse(&m_hand, WM_LBUTTONUP, CPoint(16 * 16 + 30, 60));
    m_host.flushPosted();
    EXPECT_EQ(m_notify.clicks, 0);
    EXPECT_TRUE(Raised(m_hand).empty());
    EXPECT_FALSE(CCardControl::IsDragging());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CardControlTest, TheRightButtonNotifiesOnlyAHandThatTakesTheMouse)
{
    Deal(m_hand, 5);
    ASSERT_TRUE(SimulateRightClick(&m_hand, Slot(2)));
    m_host.flushPosted();
    EXPECT_EQ(m_notify.rightClicks, 1);
    EXPECT_EQ(m_notify.clicks, 0);

    m_hand.AcceptMouse(false);
    ASSERT_TRUE(SimulateRightClick(&m_hand, Slot(2)));
    m_host.flushPosted();
    EXPECT_EQ(m_notify.rightClicks, 1);
}

TEST_F(CardControlTest, TheDragIsSharedByEveryControl)
{
    CCardControl other;
    ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE, CRect(), &m_game, 21));
    other.SetAnchor(509, 300, 1, 1);
    other.AcceptMouse(true);
    other.SetNotifyWindow(&m_notify);
    Deal(m_hand, 17);
    Deal(other, 5);

    // Begun in the hand, ended by a release handed to the other control (as the table does).
    SimulateMouse(&m_hand, WM_LBUTTONDOWN, Slot(2));
    EXPECT_TRUE(CCardControl::IsDragging());
    other.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(Slot(1).x, Slot(1).y));
    EXPECT_FALSE(CCardControl::IsDragging());
    EXPECT_EQ(GetCapture(), nullptr);
    SimulateMouse(&m_hand, WM_LBUTTONUP, Slot(2));
    m_host.flushPosted();
    EXPECT_EQ(m_notify.clicks, 0);
    EXPECT_TRUE(Raised(m_hand).empty());
    EXPECT_TRUE(Raised(other).empty());

    // The other control now starts a drag of its own and applies it to its own cards.
    ASSERT_TRUE(SimulateClick(&other, Slot(1)));
    m_host.flushPosted();
    EXPECT_EQ(m_notify.clicks, 1);
    EXPECT_EQ(Raised(other), std::vector<BYTE>{Hand(5)[1]});
    EXPECT_TRUE(Raised(m_hand).empty());

    // That finished press of the other control does not make it adopt the hand's next drag.
    SimulateMouse(&m_hand, WM_LBUTTONDOWN, Slot(3));
    other.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(Slot(3).x, Slot(3).y));
    m_host.flushPosted();
    EXPECT_EQ(m_notify.clicks, 1);
    EXPECT_EQ(Raised(other), std::vector<BYTE>{Hand(5)[1]});

    // Playing cards ends any drag: the release that follows selects nothing.
    SimulateMouse(&m_hand, WM_LBUTTONDOWN, Slot(2));
    CCardControl::EndDrag();
    SimulateMouse(&m_hand, WM_LBUTTONUP, Slot(2));
    m_host.flushPosted();
    EXPECT_EQ(m_notify.clicks, 1);
    EXPECT_TRUE(Raised(m_hand).empty());
}

TEST_F(CardControlTest, NothingIsPostedToANotifyWindowThatIsGone)
{
    auto gone = std::make_unique<NotifyProbe>();
    ASSERT_TRUE(gone->Create(WS_CHILD, CRect(0, 0, 1, 1), &m_game, 2));
    m_hand.SetNotifyWindow(gone.get());
    gone.reset();
    Deal(m_hand, 5);
    ASSERT_TRUE(SimulateClick(&m_hand, Slot(1)));
    ASSERT_TRUE(SimulateRightClick(&m_hand, Slot(1)));
    EXPECT_EQ(m_host.flushPosted(), 0u);
    EXPECT_EQ(Raised(m_hand), std::vector<BYTE>{Hand(5)[1]});
}

TEST_F(CardControlTest, ListsAreBoundedAndBuffersRespected)
{
    const auto many = Hand(25);
    m_hand.SetCards(many.data(), many.size());
    EXPECT_EQ(m_hand.GetCardCount(), 20);
    EXPECT_EQ(WindowRect(m_hand).Width(), 19 * 16 + kCellW);

    tagCardSlot row[20];
    EXPECT_EQ(m_hand.GetCards(row, 19), 0) << "too small a buffer gets nothing";
    ASSERT_EQ(m_hand.GetCards(row, 20), 20);
    EXPECT_EQ(row[19].cbCard, many[19]);

    m_hand.RaiseAll(true);
    BYTE raised[3] = {};
    EXPECT_EQ(m_hand.GetRaisedCards(raised, 3), 3);
    EXPECT_EQ(raised[2], many[2]);

    // Replacing keeps the flags of the slots that stay; new slots come in lowered.
    m_hand.RaiseCards(&many[1], 1);
    const BYTE fresh[] = {0x31, 0x32, 0x33, 0x34};
    m_hand.ReplaceCards(fresh, 2);
    EXPECT_EQ(Raised(m_hand), std::vector<BYTE>{0x32});
    m_hand.ReplaceCards(fresh, 4);
    EXPECT_EQ(Raised(m_hand), std::vector<BYTE>{0x32});
    m_hand.SetCards(fresh, 4);
    EXPECT_TRUE(Raised(m_hand).empty());
}

TEST_F(CardControlTest, FacesBacksAndTheDragVeilArePainted)
{
    const BYTE cards[] = {0x01, 0x1D, 0x4E, 0x4F, 0x00, 0x77};
    m_hand.SetCards(cards, 6);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Pixel(m_hand, Slot(i)), CardColour(cards[i])) << "slot " << i;
    EXPECT_EQ(Pixel(m_hand, Slot(4)), kBack) << "byte 0 is a back";
    EXPECT_EQ(Pixel(m_hand, Slot(5)), kBack) << "a byte that is no card is a back";
    m_hand.ShowFaces(false);
    EXPECT_EQ(Pixel(m_hand, Slot(0)), kBack);
    m_hand.ShowFaces(true);

    // While the mouse drags from slot 1 to slot 3 those cards are darkened, the rest are not.
    SimulateMouse(&m_hand, WM_LBUTTONDOWN, Slot(1));
    SimulateMouse(&m_hand, WM_MOUSEMOVE, Slot(3), MK_LBUTTON);
    const auto veiled = [](QRgb c) {
        const auto dim = [](int v) { return v * (255 - 60) / 255; };
        return qRgb(dim(qRed(c)), dim(qGreen(c)), dim(qBlue(c)));
    };
    const auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 && std::abs(qBlue(a) - qBlue(b)) <= 2;
    };
    EXPECT_EQ(Pixel(m_hand, Slot(0)), CardColour(cards[0]));
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(near(Pixel(m_hand, Slot(i)), veiled(CardColour(cards[i])))) << "slot " << i;
    EXPECT_EQ(Pixel(m_hand, Slot(4)), kBack);

    SimulateMouse(&m_hand, WM_LBUTTONUP, Slot(3));
    EXPECT_EQ(Pixel(m_hand, CPoint(2 * 16 + 8, 10)), CardColour(cards[2])) << "raised, and the veil is gone";
}

TEST_F(CardControlTest, DealingPaintsOnlyTheNewestCard)
{
    m_hand.SetDealMode(true);
    const BYTE first[] = {0x01};
    m_hand.SetCards(first, 1);
    EXPECT_EQ(Pixel(m_hand, Slot(0)), CardColour(0x01));

    // The first slot now holds another card, but a dealing paint only adds the last one.
    const BYTE second[] = {0x05, 0x12};
    m_hand.SetCards(second, 2);
    EXPECT_EQ(Pixel(m_hand, Slot(0)), CardColour(0x01));
    EXPECT_EQ(Pixel(m_hand, Slot(1)), CardColour(0x12));

    m_hand.SetDealMode(false);
    EXPECT_EQ(Pixel(m_hand, Slot(0)), CardColour(0x05));
    EXPECT_EQ(Pixel(m_hand, Slot(1)), CardColour(0x12));
}

}  // namespace
