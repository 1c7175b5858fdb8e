// The entry point the program resolves after loading this module.
#include "platform/engine/WebEngineBrowserFactory.h"

#include <QQuickWindow>

extern "C" Q_DECL_EXPORT BrowserFactory* nimbrel_create_browser_factory(Messages& messages)
{
    // The engine draws through Qt Quick on OpenGL; say so before its first view.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGLRhi);
    return new WebEngineBrowserFactory(messages);
}
