#include "platform/WarmUp.h"

#include <QFontDatabase>
#include <QStringList>

#ifdef NIMBREL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

WarmUp::WarmUp()
{
#ifdef NIMBREL_HAVE_FONTCONFIG
    // Qt reads the same configuration as its first font is asked for; read
    // here, it is there by then.
    m_fontConfiguration = std::thread([] { FcInit(); });
#endif
}

WarmUp::~WarmUp()
{
    Finish();
    if (m_fontConfiguration.joinable())
        m_fontConfiguration.join();
}

void WarmUp::Finish()
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
