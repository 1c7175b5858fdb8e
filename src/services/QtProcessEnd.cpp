#include "services/QtProcessEnd.h"

#include <QCoreApplication>

void QtProcessEnd::EndNow()
{
    QCoreApplication::exit(0);
}
