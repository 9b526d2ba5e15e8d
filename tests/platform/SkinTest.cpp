#include "platform/Dc.h"
#include "platform/MouseInput.h"
#include "platform/QtConvert.h"
#include "platform/SkinButton.h"
#include "platform/SkinDialog.h"
#include "platform/SkinImage.h"
#include "platform/TimerHost.h"
#include "support/DataPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kGrey = 0xFF808080;
constexpr QRgb kMagenta = 0xFFFF00FF;

// Four looks of 10 x 8 (red, green, blue, grey); the first column of each look is transparent.
QImage ButtonStrip()
{
    QImage strip(40, 8, QImage::Format_ARGB32);
    const QRgb looks[] = {kRed, kGreen, kBlue, kGrey};
    for (int look = 0; look < 4; ++look) {
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 10; ++x)
                strip.setPixel(look * 10 + x, y, x == 0 ? 0u : looks[look]);
        }
    }
    return strip;
}

// Magenta everywhere but a solid block in the top-left of each look.
QImage RegionStrip()
{
    QImage strip(40, 10, QImage::Format_RGB32);
    strip.fill(kMagenta);
    for (int look = 0; look < 4; ++look) {
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 5; ++x)
                strip.setPixel(look * 10 + x, y, kBlue);
        }
    }
    return strip;
}

struct MemoryDC {
    MemoryDC(int w, int h, COLORREF fill)
    {
        bitmap.CreateBitmap(w, h);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, w, h, fill);
    }
    QRgb At(int x, int y) const { return bitmap.Image().pixel(x, y); }
    CBitmap bitmap;
    CDC dc;
};

// The window buttons live on; it writes down commands and clicks that reach it.
class Board : public CWnd {
public:
    std::vector<std::string> m_log;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        auto* from = reinterpret_cast<CWnd*>(lParam);
        m_log.push_back("command " + std::to_string(LOWORD(wParam)) + (HIWORD(wParam) == BN_CLICKED ? " clicked" : "")
            + (from && from->GetDlgCtrlID() == LOWORD(wParam) ? " from-button" : ""));
        return TRUE;
    }
    void OnLButtonDown(UINT, CPoint p) override { m_log.push_back("board down " + std::to_string(p.x) + "," + std::to_string(p.y)); }
};

class SkinTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString root = m_dir.path();
        QDir(root).mkpath(QStringLiteral("Telvo/img"));
        ASSERT_TRUE(ButtonStrip().save(root + QStringLiteral("/Telvo/img/btStrip.png")));
        ASSERT_TRUE(RegionStrip().save(root + QStringLiteral("/Telvo/img/rgn.bmp")));
        QImage back(20, 10, QImage::Format_RGB32);
        back.fill(kGreen);
        ASSERT_TRUE(back.save(root + QStringLiteral("/Telvo/img/back.jpg"), "JPEG", 100));
        SetDataFolders(root.toStdString(), root.toStdString());
        ASSERT_TRUE(m_board.Create(WS_VISIBLE, CRect(0, 0, 300, 200), nullptr));
    }
    void TearDown() override { ClearDataFolders(); }

    // What a window shows after its pending paint pass.
    static QRgb Shown(CWnd& wnd, int x, int y)
    {
        wnd.UpdateWindow();
        return wnd.GetSurface().pixel(x, y);
    }

    QTemporaryDir m_dir;
    VirtualTimerHost m_host;
    ScopedTimerHost m_scope{m_host};
    Board m_board;
};

TEST_F(SkinTest, PngImagesLoadByGameNameInAnyCaseAndDrawTheirPieces)
{
    CPngImage image;
    ASSERT_TRUE(image.LoadImage("telvo\\IMG\\BtStrip.PNG"));
    EXPECT_EQ(image->GetWidth(), 40);
    EXPECT_EQ(image.GetHeight(), 8);

    MemoryDC m(50, 20, RGB(0, 0, 0));
    image.DrawImage(&m.dc, 0, 0);
    EXPECT_EQ(m.At(0, 0), 0xFF000000u); // transparent column
    EXPECT_EQ(m.At(15, 3), kGreen);
    image.DrawImage(&m.dc, 0, 10, 10, 8, 20, 0); // third look, unscaled
    EXPECT_EQ(m.At(5, 14), kBlue);
    image.DrawImage(&m.dc, 40, 10, 5, 4, 31, 0, 9, 8); // fourth look, shrunk
    EXPECT_EQ(m.At(42, 12), kGrey);
}

TEST_F(SkinTest, APictureLoadedAgainIsTheFileAsItIsNow)
{
    const QImage first = LoadSkinPicture("Telvo\\img\\back.jpg");
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(LoadSkinPicture("Telvo\\img\\back.jpg"), first);

    // Rewritten with another picture: the next load reads the new one, and the old copy stays.
    QImage replaced(30, 10, QImage::Format_RGB32);
    replaced.fill(kBlue);
    ASSERT_TRUE(replaced.save(m_dir.path() + QStringLiteral("/Telvo/img/back.jpg"), "JPEG", 100));
    const QImage second = LoadSkinPicture("Telvo\\img\\back.jpg");
    EXPECT_EQ(second.width(), 30);
    EXPECT_GT(qBlue(second.pixel(5, 5)), 200);
    EXPECT_LT(qGreen(second.pixel(5, 5)), 50);
    EXPECT_EQ(first.width(), 20);

    ASSERT_TRUE(QFile::remove(m_dir.path() + QStringLiteral("/Telvo/img/back.jpg")));
    EXPECT_TRUE(LoadSkinPicture("Telvo\\img\\back.jpg").isNull()) << "a file that is gone is gone";
}

TEST_F(SkinTest, MissingPicturesDrawNothingAndFailNothing)
{
    MemoryDC m(20, 20, RGB(1, 2, 3));
    const QImage before = m.bitmap.Image();

    CPngImage png;
    EXPECT_FALSE(png.LoadImage("Telvo\\img\\nothing.png"));
    EXPECT_TRUE(png.IsNull());
    png.DrawImage(&m.dc, 0, 0);
    png.DrawImage(&m.dc, 0, 0, 10, 10, 0, 0, 5, 5);

    CSkinImage skin;
    EXPECT_FALSE(skin.Load("Telvo\\img\\nothing.bmp"));
    skin.AlphaDrawImage(&m.dc, 0, 0, 10, 10, 0, 0, RGB(255, 0, 255));
    skin.BlendDrawImage(&m.dc, 0, 0, 10, 10, 0, 0, RGB(255, 0, 255), 100);
    skin.BitBlt(&m.dc, 0, 0);
    skin.Draw(&m.dc, 0, 0);
    EXPECT_EQ(m.bitmap.Image(), before);

    // Names that try to leave the data folders resolve to nothing as well.
    EXPECT_TRUE(LoadSkinPicture("..\\..\\etc\\passwd").isNull());

    CPngButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE, CRect(10, 10, 30, 25), &m_board, 100));
    EXPECT_FALSE(button.SetButtonImage("Telvo\\img\\nothing.png"));
    CRect rect;
    button.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(10, 10, 30, 25));
    EXPECT_EQ(qAlpha(Shown(button, 5, 5)), 0);
}

TEST_F(SkinTest, SkinImagesDrawWithKeyColourAndBlend)
{
    CSkinImage rgn;
    ASSERT_TRUE(rgn.Load("TELVO\\img\\RGN.bmp"));
    MemoryDC m(20, 20, RGB(0, 0, 0));
    rgn.AlphaDrawImage(&m.dc, 0, 0, 10, 10, 0, 0, RGB(255, 0, 255));
    EXPECT_EQ(m.At(2, 2), kBlue);
    EXPECT_EQ(m.At(8, 8), 0xFF000000u);

    rgn.BlendDrawImage(&m.dc, 10, 10, 10, 10, 0, 0, RGB(255, 0, 255), 128);
    EXPECT_NEAR(qBlue(m.At(12, 12)), 128, 2);
    EXPECT_EQ(m.At(18, 18), 0xFF000000u);

    CSkinImage jpeg;
    ASSERT_TRUE(jpeg.Load("telvo\\img\\back.jpg"));
    jpeg.Draw(&m.dc, 0, 0);
    EXPECT_NEAR(qGreen(m.At(5, 5)), 255, 3);
    EXPECT_LT(qRed(m.At(5, 5)), 4);

    // A blank 32-bit image drawn into through its own DC copies out opaque.
    CSkinImage panel;
    ASSERT_TRUE(panel.Create(6, 4, 32));
    CDC* pDC = panel.GetDC();
    pDC->FillSolidRect(0, 0, 3, 4, RGB(255, 0, 0));
    panel.ReleaseDC();
    MemoryDC out(10, 10, RGB(0, 0, 255));
    panel.BitBlt(&out.dc, 1, 1);
    EXPECT_EQ(out.At(2, 2), kRed);
    EXPECT_EQ(out.At(5, 2), 0xFF000000u); // never drawn: black, not see-through
    EXPECT_EQ(out.At(8, 8), kBlue);
}

TEST_F(SkinTest, ImageHandlesLoadTheNamedPictureOnlyWhileTheyLive)
{
    RegisterBitmapResource(244, "telvo\\img\\rgn.bmp");
    CSkinImage flip;
    flip.SetLoadInfo(244, nullptr, false);
    EXPECT_TRUE(flip.IsNull());
    {
        CImageHandle outer(&flip);
        EXPECT_TRUE(outer.IsResourceValid());
        EXPECT_EQ(flip.GetWidth(), 40);
        {
            CImageHandle inner(&flip);
            EXPECT_EQ(inner->GetHeight(), 10);
        }
        EXPECT_FALSE(flip.IsNull());
    }
    EXPECT_TRUE(flip.IsNull());

    CSkinImage unnamed;
    CImageHandle handle(&unnamed);
    EXPECT_FALSE(handle.IsResourceValid());
}

TEST_F(SkinTest, PngButtonsSizeThemselvesToOneLookAndShowTheLookOfTheirState)
{
    CPngButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE, CRect(50, 60, 50, 60), &m_board, 105));
    ASSERT_TRUE(button.SetButtonImage("Telvo\\img\\btStrip.png"));
    button.EnableSound(false);
    CRect rect;
    button.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(50, 60, 60, 68));

    EXPECT_EQ(Shown(button, 5, 4), kRed);
    SimulateMouse(&m_board, WM_MOUSEMOVE, CPoint(55, 64));
    EXPECT_EQ(button.GetLook(), CPngButton::LookHover);
    EXPECT_EQ(Shown(button, 5, 4), kGreen);
    SimulateMouse(&m_board, WM_LBUTTONDOWN, CPoint(55, 64));
    EXPECT_EQ(Shown(button, 5, 4), kBlue);
    SimulateMouse(&m_board, WM_LBUTTONUP, CPoint(55, 64));
    SimulateMouse(&m_board, WM_MOUSEMOVE, CPoint(150, 150));
    EXPECT_EQ(Shown(button, 5, 4), kRed);
    button.EnableWindow(FALSE);
    EXPECT_EQ(Shown(button, 5, 4), kGrey);
}

TEST_F(SkinTest, AClickNotifiesTheParentUnlessItIsAbandonedOrTheButtonIsDisabled)
{
    CPngButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE, CRect(50, 60, 0, 0), &m_board, 105));
    button.SetButtonImage("Telvo\\img\\btStrip.png");

    SimulateClick(&m_board, CPoint(55, 64));
    EXPECT_EQ(m_board.m_log, (std::vector<std::string>{"command 105 clicked from-button"}));

    // Pressed, then released elsewhere: no click.
    m_board.m_log.clear();
    SimulateMouse(&m_board, WM_LBUTTONDOWN, CPoint(55, 64));
    SimulateMouse(&m_board, WM_MOUSEMOVE, CPoint(150, 150), MK_LBUTTON);
    SimulateMouse(&m_board, WM_LBUTTONUP, CPoint(150, 150));
    EXPECT_TRUE(m_board.m_log.empty());

    // Disabled or hidden: the press reaches the board beneath instead.
    button.EnableWindow(FALSE);
    SimulateClick(&m_board, CPoint(55, 64));
    button.EnableWindow(TRUE);
    button.ShowWindow(SW_HIDE);
    SimulateClick(&m_board, CPoint(55, 64));
    EXPECT_EQ(m_board.m_log, (std::vector<std::string>{"board down 55,64", "board down 55,64"}));

    // A quick second click is a second click.
    m_board.m_log.clear();
    button.ShowWindow(SW_SHOW);
    SimulateClick(&m_board, CPoint(55, 64));
    SimulateMouse(&m_board, WM_LBUTTONDBLCLK, CPoint(55, 64));
    SimulateMouse(&m_board, WM_LBUTTONUP, CPoint(55, 64));
    EXPECT_EQ(m_board.m_log.size(), 2u);
}

TEST_F(SkinTest, ButtonsComposeTheirTransparentPartsOverTheParentsPicture)
{
    CPngButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE, CRect(50, 60, 0, 0), &m_board, 105));
    button.SetButtonImage("Telvo\\img\\btStrip.png");
    MemoryDC parentPicture(300, 200, RGB(0, 0, 0));
    parentPicture.dc.FillSolidRect(50, 60, 1, 8, RGB(255, 255, 0));
    button.SetButtonBkgnd(&parentPicture.dc);
    EXPECT_EQ(Shown(button, 0, 3), 0xFFFFFF00u);
    EXPECT_EQ(Shown(button, 5, 3), kRed);
}

TEST_F(SkinTest, AButtonWithoutASizeTakesNoBackground)
{
    CPngButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE, CRect(50, 60, 0, 0), &m_board, 105));
    MemoryDC parentPicture(300, 200, RGB(0, 0, 0));
    parentPicture.dc.FillSolidRect(0, 0, 10, 10, RGB(255, 255, 0));
    button.SetButtonBkgnd(&parentPicture.dc);
    // Not the parent's top-left corner: nothing was under a button of no size.
    button.SetButtonImage("Telvo\\img\\btStrip.png");
    EXPECT_NE(Shown(button, 0, 3), 0xFFFFFF00u);
}

TEST_F(SkinTest, RegionButtonsAreShapedByTheirPictureWithoutTheKeyColour)
{
    CRgnButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE, CRect(100, 100, 0, 0), &m_board, 8));
    ASSERT_TRUE(button.LoadRgnImage("Telvo\\img\\rgn.bmp", RGB(255, 0, 255)));
    EXPECT_EQ(qAlpha(Shown(button, 8, 8)), 0);
    EXPECT_EQ(Shown(button, 2, 2), kBlue);
    SimulateClick(&m_board, CPoint(108, 108));
    SimulateClick(&m_board, CPoint(102, 102));
    EXPECT_EQ(m_board.m_log, (std::vector<std::string>{"board down 108,108", "command 8 clicked from-button"}));
}

class OkDialog : public CSkinDialogEx {
public:
    explicit OkDialog(CWnd* parent) : CSkinDialogEx(175, parent) {}
    CPngButton m_ok;
    bool m_initialised = false;

protected:
    BOOL OnInitDialog() override
    {
        m_initialised = true;
        MoveWindow(0, 0, 100, 80);
        CenterWindow();
        m_ok.Create("", WS_VISIBLE, CRect(10, 10, 0, 0), this, IDOK);
        m_ok.SetButtonImage("Telvo\\img\\btStrip.png");
        return TRUE;
    }
};

TEST_F(SkinTest, ModalDialogsAreAnsweredByTheHookAndNeverBlockATest)
{
    OkDialog dialog(&m_board);
    CRect where;
    SetModalHook([&](CSkinDialog& shown) {
        EXPECT_TRUE(shown.IsWindowVisible());
        shown.GetWindowRect(&where);
        SimulateClick(shown.GetDlgItem(IDOK), CPoint(5, 4));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.m_initialised);
    EXPECT_EQ(where, CRect(100, 60, 200, 140));
    EXPECT_FALSE(dialog.IsWindow());

    // Escape cancels; a hook that answers nothing counts as a cancel.
    SetModalHook([](CSkinDialog& shown) { shown.DispatchQueuedMessage(WM_KEYDOWN, VK_ESCAPE, 0); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    SetModalHook([](CSkinDialog&) {});
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    // No hook under the virtual clock: cancelled at once.
    SetModalHook(nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(dialog.IsWindow());
}

} // namespace
