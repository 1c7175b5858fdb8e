#pragma once

#include <QString>
#include <QStringView>

// Text that a page controls (its title, its address, the link under the
// pointer) made safe to show among the program's own words: characters that
// change the direction of the text around them (overrides, embeddings,
// isolates and the invisible marks) and control characters are taken out, so
// a caption reads as its characters do. Every other character is kept as it
// stands.
namespace PageText {

// True for a character Shown() takes out.
bool IsNeutralised(char32_t c);

QString Shown(QStringView text);

// An address as text: the characters above are percent-encoded, so the
// address stays the same address and still reads as it is.
QString ShownAddress(QStringView address);

}  // namespace PageText
