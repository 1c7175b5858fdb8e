#pragma once

#include <QIcon>
#include <QString>

namespace WindowIcon {
// The program's icon, for every window: the icon theme's when the program is
// installed where the desktop looks, else the icon tree that lies beside the
// program directory (in the build tree, or in an install under any prefix).
QIcon Load(const QString& programDir);
}
