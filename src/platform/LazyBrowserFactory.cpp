#include "platform/LazyBrowserFactory.h"

#include "platform/EngineDrawing.h"
#include "platform/UnavailableBrowser.h"

#include <QLibrary>

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
    // The module stays loaded for the rest of the run: the engine keeps threads.
    QLibrary module(m_modulePath);
    module.setLoadHints(QLibrary::PreventUnloadHint);
    using Entry = BrowserFactory* (*)(Messages&, bool);
    const auto entry = reinterpret_cast<Entry>(module.resolve("nimbrel_create_browser_factory"));
    if (entry)
        m_engine.reset(entry(m_messages, software));
    else
        m_error = module.errorString();
    return m_engine.get();
}

BrowserControl* LazyBrowserFactory::Create(QWidget* parent)
{
    if (BrowserFactory* engine = Engine())
        return engine->Create(parent);
    return new UnavailableBrowser(m_error, parent);
}
