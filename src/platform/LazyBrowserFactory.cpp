#include "platform/LazyBrowserFactory.h"

#include "platform/UnavailableBrowser.h"

#include <QLibrary>
#include <QOpenGLContext>

// Qt's global share context: the engine's views share their textures through
// it. Set it up just before the engine loads, instead of at start-up.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();

namespace {

void ensureGlobalShareContext()
{
    if (qt_gl_global_share_context())
        return;
    // Lives as long as the program, as Qt's own would.
    auto* context = new QOpenGLContext;
    context->create();
    qt_gl_set_global_share_context(context);
}

}  // namespace

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
    ensureGlobalShareContext();
    // The module stays loaded for the rest of the run: the engine keeps threads.
    QLibrary module(m_modulePath);
    module.setLoadHints(QLibrary::PreventUnloadHint);
    using Entry = BrowserFactory* (*)(Messages&);
    const auto entry = reinterpret_cast<Entry>(module.resolve("nimbrel_create_browser_factory"));
    if (entry)
        m_engine.reset(entry(m_messages));
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
