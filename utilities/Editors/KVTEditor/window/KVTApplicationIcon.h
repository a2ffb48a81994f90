#pragma once
// The editor's icon: the one the desktop's icon theme holds for an installed
// copy, else the copy built into the program (a build folder, a portable
// copy), so every window has an icon wherever it runs.

#include <QIcon>

QIcon KvtApplicationIcon();
