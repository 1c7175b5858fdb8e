#include "startup/WarmUp.h"

#include <QFontDatabase>
#include <QStringList>

WarmUp::~WarmUp()
{
    if (m_fontList.joinable())
        m_fontList.join();
}

void WarmUp::AfterFirstWindow()
{
    if (m_fontList.joinable())
        return;
    // The first window paints its text next, while this runs.
    m_fontList = std::thread([] { QFontDatabase::families(); });
}
