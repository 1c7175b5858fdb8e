#pragma once

#include <QString>

class QMessageBox;
class QWidget;

// Tells the user that something they asked for failed. The box is modal to
// `parent` but does not block the handler that raised it, so no events run
// inside a handler behind the user's back; it deletes itself when closed.
namespace ProblemMessage {

QMessageBox* Show(QWidget* parent, const QString& title, const QString& text);

}  // namespace ProblemMessage
