#pragma once

// Skinned push buttons. A button picture is a horizontal strip of four looks of equal width:
// normal, hover, pressed, disabled. The button takes the size of one look when its picture is
// set (callers only move buttons); a missing picture leaves the size alone and draws nothing.
//
// A click (left press and release over the button, while it is enabled and shown) sends
// WM_COMMAND with MAKEWPARAM(id, BN_CLICKED) and the button as lParam to the parent. A quick
// second click counts as another click.

#include "platform/Wnd.h"

#include <QImage>

#include <initializer_list>
#include <string>
#include <string_view>

class CPngButton : public CWnd {
public:
    enum Look { LookNormal = 0, LookHover = 1, LookPressed = 2, LookDisabled = 3 };

    CPngButton();

    // Creates a child button; the rectangle's position is used, its size until a picture is set.
    BOOL Create(std::string_view caption, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID);

    bool SetButtonImage(std::string_view path);
    bool SetButtonImage(const wchar_t* path);
    // Takes a strip made in memory (generated pictures, tests).
    void SetButtonPicture(const QImage& strip);
    // The click sound; no sound is played while it is off (the game always turns it off).
    void EnableSound(bool bEnable) { m_bSound = bEnable; }
    bool IsSoundEnabled() const { return m_bSound; }

    // pDC holds the parent's picture in the parent's client coordinates; the button keeps the
    // piece beneath itself and draws its look over it.
    void SetButtonBkgnd(CDC* pDC);

    // The look the button shows now.
    Look GetLook() const;
    const QImage& GetPicture() const { return m_picture; }
    // The picture's path as the program named it (empty for a strip made in memory).
    const std::string& GetImagePath() const { return m_strImagePath; }

protected:
    void OnPaint() override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnMouseLeave() override;

    // Pixels of one look to draw; the region button leaves out its key colour.
    virtual QImage LookPicture(Look look) const;

    int LookWidth() const { return m_picture.isNull() ? 0 : m_picture.width() / 4; }
    // The piece of the parent's picture beneath the button (SetButtonBkgnd); null until given.
    const QImage& GetBackground() const { return m_background; }

private:
    void Resize();

    QImage m_picture;
    std::string m_strImagePath;
    QImage m_background;
    bool m_bSound = true;
    bool m_bHover = false;
    bool m_bPressed = false;
    bool m_bPointerOver = false;
};

// A button drawn from a bitmap strip (no transparency).
class CSkinButton : public CPngButton {
public:
    bool SetButtonImage(std::string_view path, bool bExpandImage = false);
};

// A button whose shape is its picture without the key colour: clicks on key-coloured pixels
// reach the window beneath.
class CRgnButton : public CPngButton {
public:
    bool LoadRgnImage(std::string_view path, COLORREF crTransparent);
    void SetRgnPicture(const QImage& strip, COLORREF crTransparent);

protected:
    QImage LookPicture(Look look) const override;

private:
    COLORREF m_crKey = RGB(255, 0, 255);
};

// A dialog's fixed buttons: each made shown, enabled and silent at its place with its picture.
struct PngButtonPlace {
    CPngButton* button;
    UINT nID;
    CPoint at;
    std::string picture;
};
void CreatePngButtons(CWnd* parent, std::initializer_list<PngButtonPlace> buttons);
