#pragma once

#include "ports/FileDialogs.h"

class QtFileDialogs final : public FileDialogs {
public:
    QString ShowOpen(QWidget* parent, const QString& filter) override;
    QString ShowSave(QWidget* parent, const QString& filter) override;

private:
    QString m_lastDir;
};
