// Scripted answers to modal dialogs: the tokens, and a run acting in the dialog until it ends.
#include <gtest/gtest.h>

#include "platform/ModalScript.h"
#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/TimerHost.h"
#include "platform/WindowDump.h"

namespace {

using Kind = tagModalAction::Kind;

TEST(ModalScript, TokensAreControlsPointsClockStepsAndDumps)
{
    EXPECT_EQ(ParseModalAction("1")->kind, Kind::Control);
    EXPECT_EQ(ParseModalAction("0x3E9")->nValue, 1001);
    const auto press = ParseModalAction("press:12,-3");
    ASSERT_TRUE(press);
    EXPECT_EQ(press->kind, Kind::Press);
    EXPECT_EQ(press->pt, CPoint(12, -3));
    EXPECT_EQ(ParseModalAction("advance:250")->nValue, 250);
    EXPECT_EQ(ParseModalAction("dump")->kind, Kind::Dump);
    for (const char* bad : {"", "ok", "press:1", "press:a,b", "advance:-5", "advance:", "12x", "dump:1"})
        EXPECT_FALSE(ParseModalAction(bad)) << bad;
}

// A dialog with an OK button (shown) and a Cancel button (hidden) that counts presses on itself.
class CountingDialog : public CSkinDialog, public IDumpableWnd {
public:
    explicit CountingDialog(CWnd* pParent) : CSkinDialog(175, pParent) {}
    std::string GetDumpName() const override { return "CCounting"; }
    void Dump(CDumpContext& dc) const override { dc.Add("presses", m_nPresses); }

protected:
    BOOL OnInitDialog() override
    {
        MoveWindow(0, 0, 200, 100);
        m_btOk.Create("", WS_CHILD | WS_VISIBLE, CRect(100, 50, 140, 70), this, IDOK);
        m_btCancel.Create("", WS_CHILD, CRect(150, 50, 190, 70), this, IDCANCEL);
        return TRUE;
    }
    void OnLButtonDown(UINT, CPoint) override { ++m_nPresses; }

private:
    int m_nPresses = 0;
    CPngButton m_btOk;
    CPngButton m_btCancel;
};

class ModalRuns : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(owner.Create(WS_VISIBLE, CRect(0, 0, 400, 300), nullptr));
        SetModalHook([this](CSkinDialog& dialog) { script.Run(dialog); });
    }
    void TearDown() override { SetModalHook(nullptr); }

    void Queue(std::initializer_list<const char*> tokens)
    {
        std::vector<tagModalAction> actions;
        for (const char* token : tokens)
            actions.push_back(*ParseModalAction(token));
        script.Queue("CCounting", std::move(actions));
    }

    VirtualTimerHost clock;
    ScopedTimerHost scoped{clock};
    std::vector<std::string> lines;
    long advanced = 0;
    CModalScript script{[this](const std::string& line) { lines.push_back(line); }, [this](long ms) { advanced += ms; },
        [this] { clock.flushPosted(); }};
    CWnd owner;
};

TEST_F(ModalRuns, ActionsRunInOrderUntilAControlEndsTheDialog)
{
    Queue({"press:10,10", "dump", "advance:100", "1", "dump", "advance:5"});
    CountingDialog dialog(&owner);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(lines, (std::vector<std::string>{"modal CCounting", "wdump CCounting presses=1"}));
    EXPECT_EQ(advanced, 100) << "nothing runs after OK ended the dialog";
}

TEST_F(ModalRuns, RunsEndWithCancelWhenTheirActionsAreSpentOrMissing)
{
    Queue({"2", "dump"});
    CountingDialog first(&owner);
    EXPECT_EQ(first.DoModal(), IDCANCEL);
    EXPECT_EQ(lines, (std::vector<std::string>{"modal CCounting", "onmodal CCounting 2 ignored", "wdump CCounting presses=0"}))
        << "a hidden control cannot be pressed";

    lines.clear();
    CountingDialog second(&owner);
    EXPECT_EQ(second.DoModal(), IDCANCEL) << "the queued run was used up by the first";
    EXPECT_EQ(lines, (std::vector<std::string>{"modal CCounting"}));
}

TEST_F(ModalRuns, EachQueuedRunServesOneModalRun)
{
    Queue({"dump"});
    Queue({"1"});
    CountingDialog dialog(&owner);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(lines, (std::vector<std::string>{"modal CCounting", "wdump CCounting presses=0", "modal CCounting"}));
}

}  // namespace
