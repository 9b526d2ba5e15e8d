#pragma once

// Button pictures. A push button of the table, the result window and the dialogs takes a strip of
// four looks side by side (normal, hover, pressed, disabled) and its size from one look. Buttons
// that make their other looks by colour transforms take a single look.

#include <QColor>
#include <QImage>
#include <QString>

namespace art {

enum class Theme { Gold, Orange, Blue, Green, Red, Purple, Teal, Grey, Wood };
enum class Glyph { None, Cross, ArrowUp, ArrowDown };

struct ButtonFace {
    QString label;
    Theme theme = Theme::Gold;
    Glyph glyph = Glyph::None;
    QColor swatch = QColor();   // when valid the body shows this colour (background choice)
    bool pill = false;          // fully rounded ends
};

inline constexpr int kButtonLooks = 4;

QImage PaintButtonStrip(int lookWidth, int lookHeight, const ButtonFace& face);

// The same strip for bitmap buttons, which have no alpha. Backdrop::Fill composes the looks over
// the colour of the dialog beneath; Backdrop::Key leaves the corners in an exact key colour for
// buttons shaped by it.
enum class Backdrop { Fill, Key };
QImage PaintOpaqueButtonStrip(int lookWidth, int lookHeight, const ButtonFace& face, const QColor& backdrop, Backdrop mode);

QImage PaintButtonLook(int width, int height, const ButtonFace& face);

} // namespace art
