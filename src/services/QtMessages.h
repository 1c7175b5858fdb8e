#pragma once

#include "ports/Messages.h"

// Messages in a QMessageBox with one OK button that deletes itself when closed.
class QtMessages final : public Messages {
public:
    void Show(Icon icon, Modality modality, QWidget* parent, const QString& title, const QString& text) override;
};
