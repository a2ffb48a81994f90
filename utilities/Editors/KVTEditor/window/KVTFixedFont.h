#pragma once
// The tree's captions line up in columns only in a fixed-pitch font.

#include <QFont>

// The system's fixed-pitch font at the given pixel height. When the system
// font is not really fixed-pitch (some monospace families report otherwise),
// the first installed family that is takes its place.
QFont FixedPitchFont(int nPixelSize);
