#include "services/QtMessages.h"

#include <QMessageBox>

void QtMessages::Show(Icon icon, Modality modality, QWidget* parent, const QString& title, const QString& text)
{
    const QMessageBox::Icon boxIcon = icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::Information;
    auto* box = new QMessageBox(boxIcon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (modality == Modality::Window) {
        box->open();
    } else {
        box->setWindowModality(Qt::NonModal);
        box->show();
    }
}
