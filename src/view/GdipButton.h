#pragma once

// A push button drawn from one picture holding its looks side by side as equal frames: normal,
// pressed, hover. Fully transparent pixels do not take the mouse. A picture of fewer than three
// frames gets its missing looks from its first frame: pressing darkens it, hovering makes it glow
// brighter step by step, disabling turns it grey. The button can also play a frame animation from
// a second picture while the pointer is away, and draws itself over a snapshot of what lies
// beneath. The looks and rules are in ImageButtonRules.h.

#include "platform/SkinButton.h"
#include "platform/WindowDump.h"
#include "view/ImageButtonRules.h"

#include <QImage>

#include <string>
#include <string_view>

class CGdipButton : public CPngButton, public IDumpableWnd {
public:
    static constexpr UINT_PTR IDT_ANIMATION = 100;
    static constexpr UINT_PTR IDT_GLOW = 101;
    static constexpr UINT kGlowMs = 30;

    CGdipButton();

    // Frames must be at least 1. A picture that cannot be read shows the message box
    // "<path>读取失败!", drops both pictures and keeps the window's size.
    BOOL SetStateImage(std::string_view path, int nFrames);
    BOOL SetStatePicture(const QImage& picture, int nFrames);
    BOOL SetAnimImage(std::string_view path, UINT nInterval, int nFrames);
    void StartAnim();
    void StopAnim() { m_bAnimRunning = FALSE; }
    void SetAlphaHitTest(BOOL bAlpha) { m_bAlphaHitTest = bAlpha; }
    // Whether a client point takes the mouse (an opaque pixel of the first frame).
    bool HitTest(CPoint point) const;

    // The driver names the button ("title:8120"); unnamed buttons are not listed.
    void SetDumpName(std::string name) { m_strDumpName = std::move(name); }
    std::string GetDumpName() const override { return m_strDumpName; }
    void Dump(CDumpContext& dc) const override;

    float GetGlow() const { return m_fGlow; }
    bool IsHover() const { return m_bHover != 0; }

protected:
    void OnPaint() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnMouseHover(UINT nFlags, CPoint point) override;
    void OnMouseLeave() override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;

private:
    QImage ImageLookPicture(const imagebutton::Look& look) const;

    BOOL m_bDisabled = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bPressLatch = FALSE;
    BOOL m_bTracking = FALSE;
    BOOL m_bGlowing = FALSE;
    float m_fGlow = imagebutton::kGlowStart;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    int m_nFrameWidth = 0;
    int m_nFrameCount = 1;
    QImage m_image;
    QImage m_animImage;
    UINT m_nAnimInterval = 0;
    int m_nAnimFrames = 1;
    BOOL m_bAnimEnabled = FALSE;
    BOOL m_bAnimRunning = FALSE;
    unsigned m_nAnimIndex = 0;
    BOOL m_bAlphaHitTest = TRUE;
    std::string m_strDumpName;
};
