#pragma once
// The command images (ilMain): taken from the icon theme, with the style's
// standard pictures where the theme has none.

#include <QIcon>

// The image at a designed image-list index: 0 New, 1 Open, 2 Save, 4 Copy,
// 5 Paste, 6 Delete, 7 Hex Edit. Other indices give an empty icon.
QIcon KvtCommandIcon(int nImageIndex);
