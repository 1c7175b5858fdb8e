#pragma once

#include <QString>

class QWidget;

// The common open and save dialogs. `filter` is a Qt name filter list
// ("HTML Files (*.html);;HTM Files (*.htm)"). An empty result means the user
// cancelled or chose nothing.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString ShowOpen(QWidget* parent, const QString& filter) = 0;
    virtual QString ShowSave(QWidget* parent, const QString& filter) = 0;
};
