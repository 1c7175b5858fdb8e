#include "web/LazyBrowserFactory.h"

#include "web/EngineDrawing.h"
#include "startup/Module.h"
#include "web/UnavailableBrowser.h"

LazyBrowserFactory::LazyBrowserFactory(QString modulePath, Messages& messages)
    : m_modulePath(std::move(modulePath)), m_messages(messages)
{
}

LazyBrowserFactory::~LazyBrowserFactory() = default;

BrowserFactory* LazyBrowserFactory::Engine()
{
    if (m_tried)
        return m_engine.get();
    m_tried = true;
    const bool software = EngineDrawing::Prepare() == EngineDrawing::Kind::Software;
    using Make = BrowserFactory* (*)(Messages&, bool);
    if (const auto make = reinterpret_cast<Make>(Module::Entry(m_modulePath, "nimbrel_create_browser_factory", &m_error)))
        m_engine.reset(make(m_messages, software));
    return m_engine.get();
}

BrowserControl* LazyBrowserFactory::Create(QWidget* parent)
{
    if (BrowserFactory* engine = Engine())
        return engine->Create(parent);
    return new UnavailableBrowser(m_error, parent);
}
