#include "platform/QtProcessEnd.h"

#include <QCoreApplication>

void QtProcessEnd::EndNow()
{
    QCoreApplication::exit(0);
}
