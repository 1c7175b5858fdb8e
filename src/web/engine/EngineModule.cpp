// The entry point the program resolves after loading this module.
#include "web/engine/WebEngineBrowserFactory.h"

#include <QQuickWindow>

// `software`: the engine draws its pages in software rather than through
// OpenGL (the program has found no graphics card to draw with).
extern "C" Q_DECL_EXPORT BrowserFactory* nimbrel_create_browser_factory(Messages& messages, bool software)
{
    // The engine draws through Qt Quick; say how before its first view.
    QQuickWindow::setGraphicsApi(software ? QSGRendererInterface::Software : QSGRendererInterface::OpenGLRhi);
    return new WebEngineBrowserFactory(messages);
}
