#include "platform/Dc.h"
#include "platform/QtConvert.h"

#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

// Memory contexts over fresh pictures, the way the game makes them.
struct MemoryDC {
    MemoryDC(int w, int h, COLORREF fill)
    {
        bitmap.CreateCompatibleBitmap(nullptr, w, h);
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, w, h, fill);
    }
    CBitmap bitmap;
    CDC dc;
};

// Columns holding pixels different from the background, as [first, last]; -1 when none.
std::pair<int, int> InkColumns(const QImage& image, QRgb background, int top = 0, int bottom = -1)
{
    if (bottom < 0)
        bottom = image.height();
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = top; y < bottom; ++y) {
            if (image.pixel(x, y) != background) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

std::pair<int, int> InkRows(const QImage& image, QRgb background)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

TEST(DcCopies, BitBltCopiesPixelsAndTheirAlphaAndClipsToTheSource)
{
    MemoryDC dest(20, 20, RGB(0, 0, 255));
    CBitmap pic;
    pic.CreateBitmap(10, 10); // all transparent black
    CDC src(&pic.Image());
    src.FillSolidRect(0, 0, 5, 10, RGB(255, 0, 0));
    EXPECT_TRUE(dest.dc.BitBlt(2, 2, 20, 20, &src, 0, 0, SRCCOPY));
    EXPECT_EQ(dest.dc.GetPixel(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(qAlpha(dest.bitmap.Image().pixel(8, 3)), 0);        // copied transparency
    EXPECT_EQ(dest.dc.GetPixel(15, 15), RGB(0, 0, 255));          // beyond the source: untouched
}

TEST(DcCopies, BitBltOfAContextOntoItselfMovesThePicture)
{
    MemoryDC m(10, 1, RGB(0, 0, 0));
    for (int x = 0; x < 10; ++x)
        m.dc.SetPixel(x, 0, RGB(x * 20, 0, 0));
    m.dc.BitBlt(1, 0, 9, 1, &m.dc, 0, 0);
    for (int x = 1; x < 10; ++x)
        EXPECT_EQ(GetRValue(m.dc.GetPixel(x, 0)), (x - 1) * 20) << x;
}

TEST(DcCopies, ColourKeyCopiesLeaveKeyPixelsOut)
{
    MemoryDC dest(4, 1, RGB(0, 0, 255));
    MemoryDC src(4, 1, RGB(255, 0, 255));
    src.dc.SetPixel(1, 0, RGB(0, 255, 0));
    src.dc.SetPixel(2, 0, RGB(0, 0, 0));
    dest.dc.TransparentBlt(0, 0, 4, 1, &src.dc, 0, 0, 4, 1, RGB(255, 0, 255));
    EXPECT_EQ(dest.dc.GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dest.dc.GetPixel(1, 0), RGB(0, 255, 0));
    EXPECT_EQ(dest.dc.GetPixel(2, 0), RGB(0, 0, 0));

    // The same with black as the key, as the card pictures use it.
    MemoryDC dest2(4, 1, RGB(0, 0, 255));
    QImage piece = src.bitmap.Image();
    dest2.dc.DrawImageKeyed(piece, 0, 0, 4, 1, 0, 0, RGB(0, 0, 0));
    EXPECT_EQ(dest2.dc.GetPixel(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(dest2.dc.GetPixel(0, 0), RGB(255, 0, 255));
}

TEST(DcCopies, AlphaBlendMixesWithTheConstantAndOptionallyTheSourceAlpha)
{
    MemoryDC dest(2, 1, RGB(0, 0, 0));
    CBitmap pic;
    pic.CreateBitmap(2, 1);
    pic.Image().setPixel(0, 0, qRgba(255, 255, 255, 255));
    pic.Image().setPixel(1, 0, qPremultiply(qRgba(255, 255, 255, 128)));
    CDC src(&pic.Image());

    dest.dc.AlphaBlend(0, 0, 2, 1, &src, 0, 0, 2, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 128, AC_SRC_ALPHA});
    EXPECT_NEAR(GetRValue(dest.dc.GetPixel(0, 0)), 128, 2);
    EXPECT_NEAR(GetRValue(dest.dc.GetPixel(1, 0)), 64, 2);

    // Without AC_SRC_ALPHA the source counts as opaque.
    MemoryDC dest2(2, 1, RGB(0, 0, 0));
    dest2.dc.AlphaBlend(0, 0, 2, 1, &src, 0, 0, 2, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0});
    EXPECT_NEAR(GetRValue(dest2.dc.GetPixel(1, 0)), 128, 2);
}

TEST(DcPictures, DrawImageUsesPerPixelAlphaAndDrawsPiecesScaledOrNot)
{
    QImage strip(4, 2, QImage::Format_ARGB32);
    strip.fill(qRgba(255, 0, 0, 255));
    strip.setPixel(1, 0, qRgba(0, 255, 0, 0));   // transparent
    strip.setPixel(2, 0, qRgba(0, 0, 255, 255));
    strip.setPixel(3, 0, qRgba(0, 255, 0, 128));
    const QImage pic = strip.convertToFormat(kSurfaceFormat);

    MemoryDC dest(10, 10, RGB(0, 0, 0));
    dest.dc.DrawImage(pic, 0, 0, 4, 2, 0, 0, 4, 2);
    EXPECT_EQ(dest.dc.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dest.dc.GetPixel(1, 0), RGB(0, 0, 0));
    EXPECT_NEAR(GetGValue(dest.dc.GetPixel(3, 0)), 128, 2);

    // The piece at (2, 0) of 1 x 1 stretched to 3 x 3.
    dest.dc.DrawImage(pic, 5, 5, 3, 3, 2, 0, 1, 1);
    EXPECT_EQ(dest.dc.GetPixel(6, 6), RGB(0, 0, 255));
    EXPECT_EQ(dest.dc.GetPixel(8, 8), RGB(0, 0, 0));

    // A piece reaching past the picture draws only what exists.
    MemoryDC dest2(10, 10, RGB(0, 0, 0));
    dest2.dc.DrawImage(pic, 0, 0, 6, 2, 2, 0, 6, 2);
    EXPECT_EQ(dest2.dc.GetPixel(0, 1), RGB(255, 0, 0));
    EXPECT_EQ(dest2.dc.GetPixel(4, 1), RGB(0, 0, 0));
}

TEST(DcShapes, FillsAndRectangles)
{
    MemoryDC m(10, 10, RGB(255, 255, 255));
    m.dc.FillAlphaRect(CRect(0, 0, 5, 5), RGB(0, 0, 0), 60);
    EXPECT_NEAR(GetRValue(m.dc.GetPixel(2, 2)), 255 - 60, 2);

    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush brush(RGB(0, 255, 0));
    m.dc.SelectObject(&pen);
    m.dc.SelectObject(&brush);
    m.dc.Rectangle(2, 2, 8, 8);
    EXPECT_EQ(m.dc.GetPixel(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(m.dc.GetPixel(7, 7), RGB(255, 0, 0));
    EXPECT_EQ(m.dc.GetPixel(5, 5), RGB(0, 255, 0));
    EXPECT_EQ(m.dc.GetPixel(8, 8), RGB(255, 255, 255)); // right and bottom exclusive
}

class DcText : public testing::Test {
protected:
    static constexpr COLORREF kBack = RGB(0, 0, 0);
    MemoryDC m{200, 40, kBack};
    CFont font;
    void SetUp() override
    {
        font.CreateFont(-16, FW_NORMAL, "宋体");
        m.dc.SelectObject(&font);
        m.dc.SetBkMode(TRANSPARENT);
        m.dc.SetTextColor(RGB(255, 255, 255));
    }
    std::pair<int, int> Columns() const { return InkColumns(m.bitmap.Image(), ToQRgb(kBack)); }
    std::pair<int, int> Rows() const { return InkRows(m.bitmap.Image(), ToQRgb(kBack)); }
};

TEST_F(DcText, HorizontalAlignmentPlacesTheTextInTheRectangle)
{
    CRect rect(0, 0, 200, 40);
    m.dc.DrawText("Ab", &rect, DT_LEFT | DT_SINGLELINE);
    EXPECT_LT(Columns().second, 60);

    m.dc.FillSolidRect(rect, kBack);
    m.dc.DrawText("Ab", &rect, DT_RIGHT | DT_SINGLELINE);
    EXPECT_GT(Columns().first, 140);

    m.dc.FillSolidRect(rect, kBack);
    m.dc.DrawText("Ab", &rect, DT_CENTER | DT_SINGLELINE);
    const auto [first, last] = Columns();
    EXPECT_GT(first, 70);
    EXPECT_LT(last, 130);
}

TEST_F(DcText, VerticalCentringAndChineseText)
{
    CRect rect(0, 0, 200, 40);
    m.dc.DrawText("地主", &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const auto [top, bottom] = Rows();
    ASSERT_GE(top, 0);
    EXPECT_GT(top, 4);
    EXPECT_LT(bottom, 36);
    EXPECT_NEAR((top + bottom) / 2, 20, 4);
}

TEST_F(DcText, EndEllipsisKeepsLongTextInsideItsRectangle)
{
    const char* longName = "a very long player name that does not fit";
    CRect narrow(10, 0, 90, 40);
    m.dc.DrawText(longName, -1, &narrow, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    const auto [first, last] = Columns();
    EXPECT_GE(first, 10);
    EXPECT_LT(last, 90);
    EXPECT_GT(last, 60); // the ellipsis fills the line up to its end

    // Without the ellipsis and without clipping the text runs on.
    m.dc.FillSolidRect(CRect(0, 0, 200, 40), kBack);
    m.dc.DrawText(longName, -1, &narrow, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(Columns().second, 150);

    // Clipped by default.
    m.dc.FillSolidRect(CRect(0, 0, 200, 40), kBack);
    m.dc.DrawText(longName, -1, &narrow, DT_LEFT | DT_SINGLELINE);
    EXPECT_LT(Columns().second, 90);
}

TEST_F(DcText, OpaqueModeFillsBehindTheTextAndCalcRectMeasures)
{
    m.dc.SetBkMode(OPAQUE);
    m.dc.SetBkColor(RGB(0, 0, 255));
    m.dc.TextOut(5, 5, "x");
    EXPECT_EQ(m.dc.GetPixel(5, 5), RGB(0, 0, 255));

    CRect measured(0, 0, 200, 0);
    const int height = m.dc.DrawText("two\nlines", &measured, DT_CALCRECT);
    EXPECT_GT(height, 25);
    EXPECT_EQ(measured.bottom, height);
    EXPECT_LT(measured.right, 100);
}

TEST(DcFonts, GameFamiliesMapToInstalledFontsAndHeightsFollowWindows)
{
    CFont hei;
    hei.CreateFont(18, 600, "黑体");
    EXPECT_EQ(QFontInfo(hei.Font()).family(), QStringLiteral("WenQuanYi Micro Hei"));
    EXPECT_EQ(hei.Font().weight(), QFont::DemiBold);
    // A positive height is the cell, so the characters come out smaller than with -18.
    EXPECT_LT(hei.Font().pixelSize(), 18);

    CFont points;
    points.CreatePointFont(140, "Arial");
    EXPECT_EQ(points.Font().pixelSize(), 19);

    CFont empty;
    EXPECT_FALSE(empty.IsCreated());
    EXPECT_EQ(empty.Font().pixelSize(), 12);
}

} // namespace
