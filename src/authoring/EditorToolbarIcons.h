#pragma once

#include <QPixmap>
#include <QString>

// The six 24 x 24 pictures of the preview browser's toolbar, drawn here so
// they need no files: "Back", "Forward", "Stop", "Refresh", "Home", "Search".
// An unknown key gives an empty (transparent) picture.
namespace EditorToolbarIcons {

inline constexpr int kSize = 24;

QPixmap Picture(const QString& key);

}  // namespace EditorToolbarIcons
