// The trustee banner: where it sits over the table and what its button asks of the game window.
#include "ViewTestHarness.h"

#include "interaction/Commands.h"
#include "platform/MouseInput.h"
#include "windows/AutoPlayDlg.h"

namespace {

using viewtest::Message;

class AutoPlayDlgTest : public viewtest::ViewTest {};

TEST_F(AutoPlayDlgTest, SitsAboveTheCentreAndAsksToLeaveTrusteeWithoutClosing)
{
    InstallPicture("Telvo/img/AutoPlay.png", 200, 60, 1);
    InstallPicture("Telvo/img/btAutoPlayOff.png", 120, 40);
    CreateTable(true);

    CAutoPlayDlg banner;
    ASSERT_TRUE(banner.CreateOver(&View(), CRect(0, 0, 1018, 702)));
    banner.ShowWindow(SW_SHOW);
    CRect place;
    banner.GetWindowRect(&place);
    View().ScreenToClient(&place);
    // As wide as its button, as high as picture and button, centred 100 pixels above the middle.
    EXPECT_EQ(place, CRect(509 - 60, 351 - 50 - 100, 509 + 60, 351 + 50 - 100));
    CRect button;
    banner.GetCancelButton().GetWindowRect(&button);
    banner.ScreenToClient(&button);
    EXPECT_EQ(button.TopLeft(), CPoint(0, 60));

    Frame().messages.clear();
    SimulateClick(&banner.GetCancelButton(), CPoint(60, 20));
    m_timers.flushPosted();
    EXPECT_FALSE(banner.GetCancelButton().IsWindowEnabled());
    EXPECT_TRUE(banner.IsWindowVisible());
    ASSERT_EQ(Frame().messages.size(), 1u);
    EXPECT_EQ(Frame().messages[0], (Message{UM_TRUSTEE_CANCEL, 0, 0}));

    // A second press is not possible: the button stays off until the banner is made again.
    SimulateClick(&banner.GetCancelButton(), CPoint(60, 20));
    m_timers.flushPosted();
    EXPECT_EQ(Frame().messages.size(), 1u);
}

}  // namespace
