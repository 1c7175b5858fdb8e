#include "authoring/ProblemMessage.h"

#include <QMessageBox>

namespace ProblemMessage {

QMessageBox* Show(QWidget* parent, const QString& title, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

}  // namespace ProblemMessage
