#pragma once

#include <QString>

class QPlainTextEdit;

// The whole text of a text area as the program's files hold it: lines joined
// by CR LF. Read raw, so characters the text document would otherwise turn
// into something else on the way out (a no-break space becomes a plain space
// in toPlainText) come back exactly as they went in.
namespace PlainText {

QString Of(const QPlainTextEdit* box);

// Splits text at CR LF, lone LF or lone CR; a terminator at the very end
// does not start another line.
QStringList Lines(const QString& text);

}  // namespace PlainText
