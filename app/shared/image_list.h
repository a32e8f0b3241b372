#pragma once

#include <QPalette>
#include <QPixmap>

/// The number of images of the toolbar's image list.
inline constexpr int kImageListCount = 10;

/// Image index of ImageList1 for the application's palette, 16 x 16 with a transparent background:
/// 0 a black diamond outline on an olive square, 1 a black sum sign, 2 a
/// floppy disk, 3 the red letters SP with a small plug, 4 a page with a red
/// arrow, 5 a pencil, 6 a wrench, 7 a yellow ball with a red question mark,
/// 8 a yellow folder, 9 a red circular arrow.
QPixmap imageListImage(int index);

/// The up button's image: a yellow folder with a black arrow pointing up,
/// 21 x 21 with a transparent background.
QPixmap upFolderImage();

/// A palette whose window background is dark: the images then give their
/// black strokes a light edge, and are otherwise the same.
bool isDarkPalette(const QPalette& palette);

/// The pixmap with a light edge on the clear pixels around its near-black ones.
QPixmap withLightEdges(const QPixmap& pixmap);

/// The application icon for the window's title bar and task bar.
QIcon applicationIcon();
