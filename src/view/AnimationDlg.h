#pragma once

// The animation windows: small overlay windows over the table, each playing one effect (bomb,
// rocket, plane, spring, smoke, shuffle, the landlord's role picture) from a strip holding all
// its frames side by side, drawn with per-pixel alpha. A run is paced by the timer host
// (startRun): on a thread of its own in the live program, on the clock in tests; every step,
// and so every frame, is drawn on the user-interface thread. Several windows run at once, each
// on its own.
//
// A run: Play starts it; after a start delay the first frame shows; each interval the next one;
// a single run hides the window one interval after its last frame, a looping one cycles its
// range until Stop. Play during a run goes on from the new first frame with the new values.
// The owner hears "anim NAME play" for every Play and "anim NAME stop" whenever a run ends.

#include "platform/SkinDialog.h"
#include "platform/WindowDump.h"
#include "view/AnimationRules.h"

#include <QImage>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

class CAnimationDlg : public CSkinDialog, public IDumpableWnd {
public:
    static constexpr UINT IDD = 105;
    // The pause before a run's first frame.
    static constexpr unsigned kStartDelayMs = 300;

    using Reporter = std::function<void(const std::string& line)>;

    // The name is the effect's, as the events and the driver give it ("bomb").
    explicit CAnimationDlg(std::string name = "animation");
    ~CAnimationDlg() override;

    // Creates the hidden window over the parent's game window.
    BOOL CreateOver(CWnd* pParentWnd);
    void SetReporter(Reporter reporter) { m_reporter = std::move(reporter); }

    // Loads the strip of nFrames frames; the window takes one frame's size. A strip that is
    // missing or too narrow for its frames is logged (once per window) and plays nothing.
    bool LoadStrip(std::string_view path, unsigned nFrames, COLORREF crKey);
    // A strip already in memory; false, and no strip, when it is too small for its frames.
    // bPng picks per-pixel alpha, otherwise crKey is the transparent colour.
    bool SetStrip(const QImage& strip, unsigned nFrames, COLORREF crKey, bool bPng = true);
    // Last 0 means the strip's last frame.
    void Play(unsigned nInterval, int nLoop, unsigned nFirst, unsigned nLast);
    void Stop();
    bool IsRunning() const { return m_bRunning != 0; }

    const std::string& GetName() const { return m_strName; }
    CSize GetFrameSize() const { return CSize(m_nFrameWidth, m_nFrameHeight); }
    unsigned GetFrameCount() const { return m_nFrameCount; }
    // The frame shown last (the driver's "frame"), -1 before any.
    int GetShownFrame() const { return m_nShownFrame; }

    std::string GetDumpName() const override { return "anim:" + m_strName; }
    void Dump(CDumpContext& dc) const override;

    // Composes frame k as the window shows it (public for the benchmark).
    virtual void DrawFrame(unsigned nFrame);

protected:
    BOOL OnInitDialog() override;
    void OnDestroy() override;

    // The run's steps on the user-interface thread: the first after the start delay, then one
    // per wait returned. Nothing ends the run.
    virtual unsigned StartRun();
    virtual std::optional<unsigned> RunStep();

    // Shows `image` as the window's picture at its top-left in game-window coordinates.
    void ShowLayer(const QImage& image, const CPoint& topLeft);
    // The frame's pixels (transparent past the strip), cut to (nSourceY, nHeight) rows.
    QImage FramePicture(unsigned nFrame, int nSourceY, int nHeight) const;
    void EndRun();
    bool HasStrip() const { return !m_strip.isNull(); }
    void SetShownFrame(unsigned nFrame) { m_nShownFrame = static_cast<int>(nFrame); }

    unsigned m_nFrame = 0;
    unsigned m_nFirstFrame = 0;
    unsigned m_nLastFrame = 0;
    unsigned m_nInterval = 0;
    int m_nLoop = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    unsigned m_nFrameCount = 1;

private:
    bool Fail(std::string_view path, const char* why);

    std::string m_strName;
    Reporter m_reporter;
    QImage m_strip;
    COLORREF m_crKey = 0;
    BLENDFUNCTION m_Blend{AC_SRC_OVER, 0, 255, 0};
    DWORD m_dwUpdateFlags = 0;
    int m_bRunning = 0;
    bool m_bFirstStep = false;
    bool m_bFailLogged = false;
    int m_nShownFrame = -1;
};

// The rocket rises from the table's bottom edge out through its top edge (anim::RocketAt).
class CRocketAnimation : public CAnimationDlg {
public:
    static constexpr unsigned kStartDelayMs = 200;
    using CAnimationDlg::CAnimationDlg;
    void SetOwnerView(CWnd* pView) { m_pOwnerView = pView; }
    void DrawFrame(unsigned nFrame) override;

protected:
    unsigned StartRun() override;
    std::optional<unsigned> RunStep() override;

private:
    CRect OwnerRect() const;

    CWnd* m_pOwnerView = nullptr;
    int m_nRise = 0;
    int m_nSourceY = 0;
};

// The plane crosses its parent (the table) from the right edge to the left (anim::PlaneLeft).
class CPlaneAnimation : public CAnimationDlg {
public:
    static constexpr unsigned kStartDelayMs = 500;
    using CAnimationDlg::CAnimationDlg;

protected:
    unsigned StartRun() override;
    std::optional<unsigned> RunStep() override;

private:
    bool m_bPlaced = false;
};
