#include "platform/Dc.h"

#include "platform/QtConvert.h"
#include "platform/Wnd.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr int kDefaultFontPixels = 12;
const char* const kDefaultFontFamily = "宋体";

QFont DefaultFont()
{
    QFont font(QString::fromUtf8(kDefaultFontFamily));
    font.setPixelSize(kDefaultFontPixels);
    return font;
}

QString FromUtf8(const char* text, int nCount)
{
    if (!text)
        return {};
    const qsizetype length = nCount < 0 ? static_cast<qsizetype>(std::strlen(text)) : nCount;
    return QString::fromUtf8(text, length);
}

// A piece of `image` with the key colour made transparent; pixels are compared as RGB.
QImage WithoutKey(const QImage& piece, COLORREF key)
{
    QImage out = piece.convertToFormat(QImage::Format_ARGB32);
    const QRgb rgbKey = ToQRgb(key) & 0x00FFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == rgbKey)
                line[x] = 0;
        }
    }
    return out;
}

} // namespace

QImage MakeSurface(int cx, int cy)
{
    if (cx <= 0 || cy <= 0)
        return {};
    QImage image(cx, cy, kSurfaceFormat);
    image.fill(0);
    return image;
}

void InstallFontSubstitutions()
{
    // Both Chinese families of the game become the one CJK font we ship with; Latin text that
    // asks for Arial gets a metric-compatible face where one is installed.
    const QString cjk = QStringLiteral("WenQuanYi Micro Hei");
    QFont::insertSubstitution(QString::fromUtf8("黑体"), cjk);
    QFont::insertSubstitution(QString::fromUtf8("宋体"), cjk);
    QFont::insertSubstitution(QStringLiteral("SimHei"), cjk);
    QFont::insertSubstitution(QStringLiteral("SimSun"), cjk);
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"), cjk});
}

// ---- CBitmap ---------------------------------------------------------------------------------

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*pDC*/, int cx, int cy) { return CreateBitmap(cx, cy); }

BOOL CBitmap::CreateBitmap(int cx, int cy)
{
    m_image = MakeSurface(cx, cy);
    return m_image.isNull() ? FALSE : TRUE;
}

BOOL CBitmap::DeleteObject()
{
    m_image = QImage();
    return TRUE;
}

// ---- CFont -----------------------------------------------------------------------------------

BOOL CFont::CreateFont(int nHeight, int /*nWidth*/, int /*nEscapement*/, int /*nOrientation*/, int nWeight, BYTE bItalic,
    BYTE bUnderline, BYTE cStrikeOut, BYTE /*nCharSet*/, BYTE /*nOutPrecision*/, BYTE /*nClipPrecision*/, BYTE /*nQuality*/,
    BYTE /*nPitchAndFamily*/, const char* lpszFacename)
{
    QFont font(lpszFacename && *lpszFacename ? QString::fromUtf8(lpszFacename) : QString::fromUtf8(kDefaultFontFamily));
    int pixels = nHeight == 0 ? kDefaultFontPixels : std::abs(nHeight);
    if (nHeight > 0 && QGuiApplication::instance()) {
        // A positive height is the whole cell (ascent + descent); shrink the em to fit it.
        QFont probe = font;
        probe.setPixelSize(100);
        const int cell = QFontMetrics(probe).height();
        if (cell > 0)
            pixels = std::max(1, static_cast<int>(std::lround(nHeight * 100.0 / cell)));
    }
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(nWeight <= 0 ? FW_NORMAL : std::clamp(nWeight, 1, 1000)));
    font.setItalic(bItalic != 0);
    font.setUnderline(bUnderline != 0);
    font.setStrikeOut(cStrikeOut != 0);
    m_font = font;
    m_bCreated = true;
    return TRUE;
}

BOOL CFont::CreateFont(int nHeight, int nWeight, const char* lpszFacename, BOOL bUnderline)
{
    return CreateFont(nHeight, 0, 0, 0, nWeight, 0, static_cast<BYTE>(bUnderline ? 1 : 0), 0, DEFAULT_CHARSET, 0, 0, 0, 0, lpszFacename);
}

BOOL CFont::CreatePointFont(int nPointSize, const char* lpszFaceName, CDC* /*pDC*/)
{
    const int pixels = std::max(1, static_cast<int>(std::lround(nPointSize / 10.0 * 96.0 / 72.0)));
    return CreateFont(-pixels, FW_NORMAL, lpszFaceName);
}

BOOL CFont::DeleteObject()
{
    m_bCreated = false;
    m_font = QFont();
    return TRUE;
}

QFont CFont::Font() const { return m_bCreated ? m_font : DefaultFont(); }

// ---- Pens and brushes ------------------------------------------------------------------------

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    m_nStyle = nPenStyle;
    m_nWidth = std::max(1, nWidth);
    m_crColor = crColor;
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    m_bNull = false;
    m_crColor = crColor;
    return TRUE;
}

// ---- CDC: selection and attributes -------------------------------------------------------------

BOOL CDC::CreateCompatibleDC(CDC* /*pDC*/)
{
    m_pImage = nullptr;
    m_pBitmap = nullptr;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    m_pImage = nullptr;
    m_pBitmap = nullptr;
    m_pFont = nullptr;
    m_pPen = nullptr;
    m_pBrush = nullptr;
    return TRUE;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    CBitmap* old = m_pBitmap;
    m_pBitmap = pBitmap;
    m_pImage = pBitmap ? &pBitmap->Image() : nullptr;
    return old;
}

CFont* CDC::SelectObject(CFont* pFont)
{
    CFont* old = m_pFont;
    m_pFont = pFont;
    return old;
}

CPen* CDC::SelectObject(CPen* pPen)
{
    CPen* old = m_pPen;
    m_pPen = pPen;
    m_bNullPen = false;
    return old;
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    CBrush* old = m_pBrush;
    m_pBrush = pBrush;
    m_bNullBrush = false;
    return old;
}

void CDC::SelectStockObject(int nIndex)
{
    if (nIndex == NULL_BRUSH)
        m_bNullBrush = true;
    else if (nIndex == NULL_PEN)
        m_bNullPen = true;
}

COLORREF CDC::SetTextColor(COLORREF crColor) { return std::exchange(m_crText, crColor); }
COLORREF CDC::SetBkColor(COLORREF crColor) { return std::exchange(m_crBk, crColor); }
int CDC::SetBkMode(int nBkMode) { return std::exchange(m_nBkMode, nBkMode); }

QFont CDC::GetCurrentQFont() const { return m_pFont ? m_pFont->Font() : DefaultFont(); }

template <typename Draw>
bool CDC::Paint(Draw draw)
{
    if (!m_pImage || m_pImage->isNull())
        return false;
    {
        QPainter painter(m_pImage);
        draw(painter);
    }
    if (m_onChange)
        m_onChange();
    return true;
}

QImage CDC::SourcePiece(CDC* pSrcDC, int xSrc, int ySrc, int w, int h) const
{
    if (!pSrcDC || !pSrcDC->m_pImage || pSrcDC->m_pImage->isNull() || w <= 0 || h <= 0)
        return {};
    // copy() fills what lies outside the source with zero; a copy also makes drawing a
    // context onto itself safe.
    return pSrcDC->m_pImage->copy(xSrc, ySrc, w, h);
}

// ---- CDC: copies -------------------------------------------------------------------------------

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD /*dwRop*/)
{
    if (!pSrcDC || !pSrcDC->m_pImage)
        return FALSE;
    // Only the part that lies inside the source is copied, like GDI.
    const QRect inside = QRect(xSrc, ySrc, nWidth, nHeight).intersected(pSrcDC->m_pImage->rect());
    if (inside.isEmpty())
        return FALSE;
    const QImage piece = pSrcDC->m_pImage->copy(inside);
    return Paint([&](QPainter& p) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(x + inside.x() - xSrc, y + inside.y() - ySrc), piece);
    }) ? TRUE : FALSE;
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, DWORD /*dwRop*/)
{
    const QImage piece = SourcePiece(pSrcDC, xSrc, ySrc, nSrcWidth, nSrcHeight);
    if (piece.isNull() || nWidth <= 0 || nHeight <= 0)
        return FALSE;
    return Paint([&](QPainter& p) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QRect(x, y, nWidth, nHeight), piece);
    }) ? TRUE : FALSE;
}

BOOL CDC::TransparentBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight,
    COLORREF crTransparent)
{
    const QImage piece = SourcePiece(pSrcDC, xSrc, ySrc, nSrcWidth, nSrcHeight);
    if (piece.isNull() || nWidth <= 0 || nHeight <= 0)
        return FALSE;
    const QImage keyed = WithoutKey(piece, crTransparent);
    return Paint([&](QPainter& p) { p.drawImage(QRect(x, y, nWidth, nHeight), keyed); }) ? TRUE : FALSE;
}

BOOL CDC::AlphaBlend(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight,
    BLENDFUNCTION blend)
{
    QImage piece = SourcePiece(pSrcDC, xSrc, ySrc, nSrcWidth, nSrcHeight);
    if (piece.isNull() || nWidth <= 0 || nHeight <= 0)
        return FALSE;
    if (!(blend.AlphaFormat & AC_SRC_ALPHA))
        piece = piece.convertToFormat(QImage::Format_RGB32);
    return Paint([&](QPainter& p) {
        p.setOpacity(blend.SourceConstantAlpha / 255.0);
        p.setRenderHint(QPainter::SmoothPixmapTransform, nWidth != nSrcWidth || nHeight != nSrcHeight);
        p.drawImage(QRect(x, y, nWidth, nHeight), piece);
    }) ? TRUE : FALSE;
}

// ---- CDC: pictures -----------------------------------------------------------------------------

void CDC::DrawImage(const QImage& image, int x, int y, int cx, int cy, int xSrc, int ySrc, int cxSrc, int cySrc, BYTE alpha)
{
    if (image.isNull() || cx <= 0 || cy <= 0 || cxSrc <= 0 || cySrc <= 0 || alpha == 0)
        return;
    const QRect source(xSrc, ySrc, cxSrc, cySrc);
    const QRect inside = source.intersected(image.rect());
    if (inside.isEmpty())
        return;
    // Keep the scale of the whole piece when only part of it lies inside the image.
    const double sx = double(cx) / cxSrc;
    const double sy = double(cy) / cySrc;
    const QRectF target(x + (inside.x() - xSrc) * sx, y + (inside.y() - ySrc) * sy, inside.width() * sx, inside.height() * sy);
    Paint([&](QPainter& p) {
        p.setOpacity(alpha / 255.0);
        p.setRenderHint(QPainter::SmoothPixmapTransform, cx != cxSrc || cy != cySrc);
        p.drawImage(target, image, QRectF(inside));
    });
}

void CDC::DrawImageKeyed(const QImage& image, int x, int y, int cx, int cy, int xSrc, int ySrc, COLORREF key, BYTE alpha)
{
    if (image.isNull() || cx <= 0 || cy <= 0 || alpha == 0)
        return;
    const QRect inside = QRect(xSrc, ySrc, cx, cy).intersected(image.rect());
    if (inside.isEmpty())
        return;
    const QImage keyed = WithoutKey(image.copy(inside), key);
    Paint([&](QPainter& p) {
        p.setOpacity(alpha / 255.0);
        p.drawImage(QPoint(x + inside.x() - xSrc, y + inside.y() - ySrc), keyed);
    });
}

// ---- CDC: shapes -------------------------------------------------------------------------------

void CDC::FillSolidRect(const CRect& rect, COLORREF crColor)
{
    if (rect.IsRectEmpty())
        return;
    Paint([&](QPainter& p) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(ToQRect(rect), ToQColor(crColor));
    });
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor) { FillSolidRect(CRect(x, y, x + cx, y + cy), crColor); }

void CDC::FillAlphaRect(const CRect& rect, COLORREF crColor, BYTE alpha)
{
    if (rect.IsRectEmpty() || alpha == 0)
        return;
    Paint([&](QPainter& p) { p.fillRect(ToQRect(rect), ToQColor(crColor, alpha)); });
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1)
        return FALSE;
    const bool brush = !m_bNullBrush && !(m_pBrush && m_pBrush->m_bNull);
    const bool pen = !m_bNullPen && !(m_pPen && m_pPen->m_nStyle == PS_NULL);
    const COLORREF brushColor = m_pBrush ? m_pBrush->m_crColor : RGB(255, 255, 255);
    const COLORREF penColor = m_pPen ? m_pPen->m_crColor : RGB(0, 0, 0);
    const int penWidth = m_pPen ? m_pPen->m_nWidth : 1;
    return Paint([&](QPainter& p) {
        if (brush)
            p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), ToQColor(brushColor));
        if (pen) {
            // The outline lies inside the rectangle, penWidth pixels thick.
            const QColor c = ToQColor(penColor);
            const int w = std::min(penWidth, std::min(x2 - x1, y2 - y1));
            p.fillRect(QRect(x1, y1, x2 - x1, w), c);
            p.fillRect(QRect(x1, y2 - w, x2 - x1, w), c);
            p.fillRect(QRect(x1, y1, w, y2 - y1), c);
            p.fillRect(QRect(x2 - w, y1, w, y2 - y1), c);
        }
    }) ? TRUE : FALSE;
}

CPoint CDC::MoveTo(int x, int y) { return std::exchange(m_ptCurrent, CPoint(x, y)); }

BOOL CDC::LineTo(int x, int y)
{
    const CPoint from = m_ptCurrent;
    m_ptCurrent = CPoint(x, y);
    if (m_bNullPen || (m_pPen && m_pPen->m_nStyle == PS_NULL))
        return TRUE;
    const COLORREF color = m_pPen ? m_pPen->m_crColor : RGB(0, 0, 0);
    const int width = m_pPen ? m_pPen->m_nWidth : 1;
    Qt::PenStyle style = Qt::SolidLine;
    if (m_pPen && m_pPen->m_nStyle == PS_DASH)
        style = Qt::DashLine;
    else if (m_pPen && m_pPen->m_nStyle == PS_DOT)
        style = Qt::DotLine;
    return Paint([&](QPainter& p) {
        p.setPen(QPen(ToQColor(color), width, style, Qt::FlatCap));
        p.drawLine(QPoint(from.x, from.y), QPoint(x, y));
    }) ? TRUE : FALSE;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    if (!m_pImage || !m_pImage->valid(x, y))
        return 0xFFFFFFFF; // CLR_INVALID
    return ToColorRef(m_pImage->pixelColor(x, y));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF crColor)
{
    if (!m_pImage || !m_pImage->valid(x, y))
        return 0xFFFFFFFF;
    m_pImage->setPixelColor(x, y, ToQColor(crColor));
    if (m_onChange)
        m_onChange();
    return crColor;
}

// ---- CDC: text ---------------------------------------------------------------------------------

int CDC::DrawText(const char* lpszString, int nCount, CRect* lpRect, UINT nFormat)
{
    if (!lpRect)
        return 0;
    QString text = FromUtf8(lpszString, nCount);
    const QFont font = GetCurrentQFont();
    const QFontMetrics metrics(font);
    const QRect box = ToQRect(*lpRect);

    int flags = 0;
    if (nFormat & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (nFormat & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (nFormat & DT_VCENTER)
        flags |= Qt::AlignVCenter;
    else if (nFormat & DT_BOTTOM)
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    if (nFormat & DT_SINGLELINE)
        flags |= Qt::TextSingleLine;
    else if (nFormat & DT_WORDBREAK)
        flags |= Qt::TextWordWrap;
    if (nFormat & DT_NOCLIP)
        flags |= Qt::TextDontClip;

    if ((nFormat & DT_END_ELLIPSIS) && !(nFormat & DT_WORDBREAK)) {
        if (nFormat & DT_SINGLELINE) {
            text = metrics.elidedText(text, Qt::ElideRight, box.width());
        } else {
            QStringList lines = text.split(QLatin1Char('\n'));
            for (QString& line : lines)
                line = metrics.elidedText(line, Qt::ElideRight, box.width());
            text = lines.join(QLatin1Char('\n'));
        }
    }

    // Measured against the rectangle's width (unbounded height) so DT_CALCRECT grows downwards.
    const QRect measured = metrics.boundingRect(QRect(box.x(), box.y(), std::max(box.width(), 1), 1 << 20),
        (flags & ~(Qt::AlignVertical_Mask | Qt::AlignHorizontal_Mask)) | Qt::AlignLeft | Qt::AlignTop, text);
    if (nFormat & DT_CALCRECT) {
        lpRect->right = lpRect->left + measured.width();
        lpRect->bottom = lpRect->top + measured.height();
        return measured.height();
    }
    if (text.isEmpty())
        return 0;

    const COLORREF textColor = m_crText;
    const bool opaque = m_nBkMode == OPAQUE;
    const COLORREF bkColor = m_crBk;
    Paint([&](QPainter& p) {
        p.setFont(font);
        if (opaque) {
            QRect area = p.boundingRect(box, flags, text);
            if (!(nFormat & DT_NOCLIP))
                area = area.intersected(box);
            p.fillRect(area, ToQColor(bkColor));
        }
        p.setPen(ToQColor(textColor));
        p.drawText(box, flags, text);
    });
    return measured.height();
}

int CDC::DrawText(std::string_view text, CRect* lpRect, UINT nFormat)
{
    return DrawText(text.data(), static_cast<int>(text.size()), lpRect, nFormat);
}

BOOL CDC::TextOut(int x, int y, const char* lpszString, int nCount)
{
    const QString text = FromUtf8(lpszString, nCount);
    if (text.isEmpty())
        return TRUE;
    const QFont font = GetCurrentQFont();
    const QFontMetrics metrics(font);
    const COLORREF textColor = m_crText;
    const bool opaque = m_nBkMode == OPAQUE;
    const COLORREF bkColor = m_crBk;
    return Paint([&](QPainter& p) {
        if (opaque)
            p.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), ToQColor(bkColor));
        p.setFont(font);
        p.setPen(ToQColor(textColor));
        p.drawText(QPoint(x, y + metrics.ascent()), text);
    }) ? TRUE : FALSE;
}

BOOL CDC::TextOut(int x, int y, std::string_view text) { return TextOut(x, y, text.data(), static_cast<int>(text.size())); }

CSize CDC::GetTextExtent(std::string_view text) const
{
    const QFontMetrics metrics(GetCurrentQFont());
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return CSize(metrics.horizontalAdvance(s), metrics.height());
}

// ---- Window contexts ---------------------------------------------------------------------------

CClientDC::CClientDC(CWnd* pWnd)
{
    if (!pWnd || !pWnd->IsWindow())
        return;
    SetImage(&pWnd->Surface());
    SetChangeHandler([pWnd, life = pWnd->GetLifeToken()] {
        if (!life.expired())
            pWnd->ShowSurface();
    });
}
