// The names and value lines windows give the scripted driver.
#include <gtest/gtest.h>

#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/TimerHost.h"
#include "platform/WindowDump.h"

namespace {

TEST(WindowDump, ValuesAreWrittenOnOneLine)
{
    CDumpContext dc;
    dc.Add("m_wGameType", 100);
    const int scores[] = {45, 45, -99};
    dc.AddList("m_lScore", scores);
    dc.AddTexts("m_szName", {"甲", "say \"hi\"", "a\\b"});
    dc.AddText("status", "two\nlines\x7F");
    dc.AddRaw("buttons", "1:VE");
    EXPECT_EQ(dc.Text(), "m_wGameType=100 m_lScore=45,45,-99 m_szName=\"甲\",\"say \\\"hi\\\"\",\"a\\\\b\" "
                         "status=\"two\\x0Alines\\x7F\" buttons=1:VE");
}

class NamedDialog : public CSkinDialog, public IDumpableWnd {
public:
    NamedDialog() : CSkinDialog(156) {}
    std::string GetDumpName() const override { return "CNamed"; }
    void Dump(CDumpContext& dc) const override { dc.Add("level", 3); }
};

class WindowDumpNames : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(owner.Create(0, CRect(0, 0, 300, 200), nullptr)); }

    VirtualTimerHost clock;
    ScopedTimerHost scoped{clock};
    CWnd owner;
};

TEST_F(WindowDumpNames, AWindowsOwnNameComesBeforeItsTemplateNumber)
{
    NamedDialog named;
    CSkinDialog plain(246, &owner);
    ASSERT_TRUE(plain.Create(246));
    EXPECT_EQ(DumpNameOf(named), "CNamed");
    EXPECT_EQ(DumpValuesOf(named), "level=3");
    EXPECT_EQ(DumpNameOf(plain), "246");
    EXPECT_EQ(DumpValuesOf(plain), "");
    EXPECT_EQ(DumpNameOf(owner), "") << "a plain window is not listed";
}

TEST_F(WindowDumpNames, ControlsShowWhetherTheyAreShownAndEnabled)
{
    CSkinDialog dialog(175, &owner);
    ASSERT_TRUE(dialog.Create(175));
    CPngButton ok;
    CPngButton cancel;
    ok.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &dialog, IDOK);
    cancel.Create("", WS_CHILD, CRect(0, 0, 10, 10), &dialog, IDCANCEL);
    cancel.EnableWindow(FALSE);
    dialog.ShowWindow(SW_SHOW);
    owner.ShowWindow(SW_SHOW);
    EXPECT_EQ(DumpControls(dialog, {IDOK, IDCANCEL, 99}), "1:VE,2:--");
    dialog.ShowWindow(SW_HIDE);
    EXPECT_EQ(DumpControls(dialog, {IDOK}), "1:-E") << "a control of a hidden window is not visible";
}

}  // namespace
