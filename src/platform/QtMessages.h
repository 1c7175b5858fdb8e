#pragma once

#include "platform/Messages.h"

class QMessageBox;

// Messages in a QMessageBox with one OK button that deletes itself when closed.
class QtMessages final : public Messages {
public:
    void Show(Icon icon, Modality modality, QWidget* parent, const QString& title, const QString& text) override;
    // Show, handing back the box it opened.
    static QMessageBox* Open(Icon icon, Modality modality, QWidget* parent, const QString& title, const QString& text);
};
