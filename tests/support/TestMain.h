#pragma once

#include <QString>

namespace TestMain {
// Lets a test program accept Qt warnings that match `pattern` (a regular expression).
void IgnoreWarnings(const QString& pattern);
}
