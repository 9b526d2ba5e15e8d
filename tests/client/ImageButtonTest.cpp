// The image button: its colour transforms, which look each state shows, the hover glow's steps,
// and that only opaque pixels of its first frame take the mouse.
#include "ViewTestHarness.h"

#include "platform/MouseInput.h"
#include "view/GdipButton.h"
#include "view/ImageButtonRules.h"

namespace {

using namespace imagebutton;

TEST(ImageButtonColours, GreyAndShadeKeepAlpha)
{
    EXPECT_EQ(Grey(0x80C80000u), 0x803C3C3Cu) << "0.3 of the red";
    EXPECT_EQ(Grey(0xFF00FF00u), 0xFF969696u);
    EXPECT_EQ(Grey(0x000000FFu), 0x001C1C1Cu);
    EXPECT_EQ(Shade(0xFF000000u, 0.75f), 0xFF0D0D0Du) << "black is raised by 0.05";
    EXPECT_EQ(Shade(0xFF808080u, 0.75f), 0xFF6D6D6Du);
    EXPECT_EQ(Shade(0x40FFFFFFu, 1.2f), 0x40FFFFFFu) << "held to full scale";
    EXPECT_EQ(Shade(0xFF646464u, 1.0f), 0xFF717171u);
}

TEST(ImageButtonLooks, OneFrameButtonsTransformTheirOnlyFrame)
{
    ButtonState state;
    EXPECT_EQ(ChooseLook(state).transform, Transform::None);
    state.bHover = true;
    state.fGlow = 1.1f;
    EXPECT_EQ(ChooseLook(state).transform, Transform::Shade);
    EXPECT_FLOAT_EQ(ChooseLook(state).fShade, 1.1f);
    state.bSelected = true;
    EXPECT_FLOAT_EQ(ChooseLook(state).fShade, kPressedShade) << "pressing wins over hovering";
    state.bAnimating = true;
    state.nAnimIndex = 7;
    state.nAnimFrames = 3;
    EXPECT_TRUE(ChooseLook(state).bAnimation);
    EXPECT_EQ(ChooseLook(state).nFrame, 1);
    state.bDisabled = true;
    EXPECT_EQ(ChooseLook(state).transform, Transform::Grey);
    EXPECT_EQ(ChooseLook(state).nFrame, 0);
}

TEST(ImageButtonLooks, ThreeFrameButtonsShowTheirOwnLooks)
{
    ButtonState state;
    state.nFrames = 3;
    state.bHover = true;
    EXPECT_EQ(ChooseLook(state).nFrame, 2);
    EXPECT_EQ(ChooseLook(state).transform, Transform::None);
    state.bSelected = true;
    EXPECT_EQ(ChooseLook(state).nFrame, 1);
    state.nFrames = 2;
    state.bSelected = false;
    EXPECT_EQ(ChooseLook(state).transform, Transform::Shade) << "two frames still glow";
}

TEST(ImageButtonGlow, RisesElevenStepsAndStopsAtTheTwelfth)
{
    float glow = kGlowStart;
    bool glowing = true;
    int ticks = 0;
    while (GlowTick(glow, true, glowing))
        ++ticks;
    EXPECT_EQ(ticks, 11);
    EXPECT_NEAR(glow, 1.22f, 1e-4f);
    EXPECT_FALSE(glowing);

    glow = 1.1f;
    glowing = true;
    EXPECT_FALSE(GlowTick(glow, false, glowing)) << "the pointer left";
    EXPECT_FLOAT_EQ(glow, 1.1f) << "the glow keeps its value";
}

TEST(ImageButtonHitTest, OnlyOpaquePixelsInsideHit)
{
    // Two rows of three pixels in a buffer four pixels wide: the stride is respected.
    const Argb pixels[] = {0x00FFFFFFu, 0x01000000u, 0xFF000000u, 0xFFFFFFFFu,
                           0xFF123456u, 0x00000000u, 0x80000000u, 0xFFFFFFFFu};
    EXPECT_FALSE(HitsOpaque(pixels, 3, 2, 4, 0, 0)) << "fully transparent";
    EXPECT_TRUE(HitsOpaque(pixels, 3, 2, 4, 1, 0)) << "barely opaque still hits";
    EXPECT_TRUE(HitsOpaque(pixels, 3, 2, 4, 0, 1));
    EXPECT_FALSE(HitsOpaque(pixels, 3, 2, 4, 3, 0)) << "past the frame, though the buffer has it";
    EXPECT_FALSE(HitsOpaque(pixels, 3, 2, 4, -1, 0));
    EXPECT_FALSE(HitsOpaque(pixels, 3, 2, 4, 0, 2));
    EXPECT_FALSE(HitsOpaque(nullptr, 3, 2, 4, 0, 0));
}

class ImageButtonTest : public viewtest::ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        CreateTable(true);
        ASSERT_TRUE(button.Create("", WS_VISIBLE, CRect(100, 100, 110, 110), &View(), 8120));
        // One frame 20 x 10 whose left half is transparent.
        QImage picture(20, 10, QImage::Format_ARGB32);
        picture.fill(qRgba(100, 100, 100, 255));
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                picture.setPixel(x, y, 0);
        ASSERT_TRUE(button.SetStatePicture(picture, 1));
        button.SetDumpName("title:8120");
    }
    void TearDown() override
    {
        button.DestroyWindow();
        ViewTest::TearDown();
    }
    CGdipButton button;
};

TEST_F(ImageButtonTest, TransparentPixelsDoNotPressTheButton)
{
    CRect place;
    button.GetWindowRect(&place);
    EXPECT_EQ(place.Size(), CSize(20, 10)) << "sized to one frame";
    ASSERT_TRUE(SimulateMouse(&button, WM_MOUSEMOVE, CPoint(9, 5)));
    ASSERT_TRUE(SimulateMouse(&button, WM_LBUTTONDOWN, CPoint(9, 5)));
    EXPECT_NE(GetCapture(), &button) << "a press on a transparent pixel neither presses nor captures";
    EXPECT_EQ(DumpValuesOf(button), "m_fGlow=1.00 m_bHover=0 m_bPressed=0");
    SimulateMouse(&button, WM_LBUTTONUP, CPoint(9, 5));
    ASSERT_TRUE(SimulateMouse(&button, WM_LBUTTONDOWN, CPoint(10, 5)));
    EXPECT_EQ(GetCapture(), &button) << "one pixel on, it does";
    EXPECT_EQ(DumpValuesOf(button), "m_fGlow=1.00 m_bHover=0 m_bPressed=1") << "no move came over the opaque part";
    SimulateMouse(&button, WM_LBUTTONUP, CPoint(10, 5));
    button.SetAlphaHitTest(FALSE);
    EXPECT_TRUE(button.HitTest(CPoint(0, 0)));
}

TEST_F(ImageButtonTest, HoverGlowsGraduallyAndPressingDarkens)
{
    ASSERT_TRUE(SimulateMouse(&button, WM_MOUSEMOVE, CPoint(15, 5)));
    EXPECT_TRUE(button.IsHover());
    m_timers.advance(30 * 5);
    EXPECT_NEAR(button.GetGlow(), 1.10f, 1e-4f);
    m_timers.advance(30 * 10);
    EXPECT_NEAR(button.GetGlow(), 1.22f, 1e-4f);
    button.UpdateWindow();
    // 100 * 1.22 + 0.05 of 255.
    EXPECT_EQ(qRed(button.GetSurface().pixel(15, 5)), 135);
    EXPECT_EQ(DumpValuesOf(button), "m_fGlow=1.22 m_bHover=1 m_bPressed=0");

    ASSERT_TRUE(SimulateMouse(&button, WM_LBUTTONDOWN, CPoint(15, 5)));
    button.UpdateWindow();
    EXPECT_EQ(qRed(button.GetSurface().pixel(15, 5)), 88) << "100 * 0.75 + 12.75";
    SimulateMouse(&button, WM_LBUTTONUP, CPoint(15, 5));
    button.EnableWindow(FALSE);
    button.UpdateWindow();
    EXPECT_EQ(qRed(button.GetSurface().pixel(15, 5)), 100) << "grey of a grey";
}

TEST_F(ImageButtonTest, TheAnimationPlaysWhileThePointerIsAwayUntilPressedOrDisabled)
{
    InstallPicture("telvo/img/anim.png", 20, 10, 3);
    ASSERT_TRUE(button.SetAnimImage("telvo\\img\\anim.png", 100, 3));
    EXPECT_FALSE(button.SetAnimImage("telvo\\img\\none.png", 100, 3));
    ASSERT_TRUE(button.SetAnimImage("telvo\\img\\anim.png", 100, 3));
    button.StartAnim();
    m_timers.advance(100);
    button.UpdateWindow();
    EXPECT_EQ(qGreen(button.GetSurface().pixel(5, 5)), 160) << "the strip's frame covers the transparent half too";
    // The pointer comes: the animation stops at its next tick and the button is itself again.
    ASSERT_TRUE(SimulateMouse(&button, WM_MOUSEMOVE, CPoint(15, 5)));
    m_timers.advance(100);
    button.UpdateWindow();
    EXPECT_EQ(qAlpha(button.GetSurface().pixel(5, 5)), 0);
    // Leaving starts it again, unless the button was pressed meanwhile.
    button.SendMessage(WM_MOUSELEAVE);
    m_timers.advance(100);
    button.UpdateWindow();
    EXPECT_EQ(qGreen(button.GetSurface().pixel(5, 5)), 160);
    ASSERT_TRUE(SimulateClick(&button, CPoint(15, 5)));
    button.SendMessage(WM_MOUSELEAVE);
    m_timers.advance(300);
    button.UpdateWindow();
    EXPECT_EQ(qAlpha(button.GetSurface().pixel(5, 5)), 0) << "a pressed button stays still";
    // Disabled once, the animation never comes back.
    button.EnableWindow(FALSE);
    button.UpdateWindow();
    button.EnableWindow(TRUE);
    button.StartAnim();
    m_timers.advance(300);
    button.UpdateWindow();
    EXPECT_EQ(qAlpha(button.GetSurface().pixel(5, 5)), 0);
}

}  // namespace
