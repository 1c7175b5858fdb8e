#include "web/EngineDrawing.h"

#include <QList>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

// Qt's global share context: the engine's views share their textures through it.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();

namespace EngineDrawing {

bool IsProcessorRenderer(const QByteArray& renderer)
{
    // Mesa's llvmpipe, softpipe and swrast ("Software Rasterizer"), Google's
    // SwiftShader, and the fallbacks of Windows.
    static const QList<QByteArray> names{"llvmpipe", "softpipe", "software rasterizer", "swiftshader",
                                         "gdi generic", "basic render driver"};
    const QByteArray name = renderer.trimmed().toLower();
    if (name.isEmpty())
        return true;
    for (const QByteArray& known : names)
        if (name.contains(known))
            return true;
    return false;
}

namespace {

QByteArray Renderer(QOpenGLContext& context)
{
    if (!context.isValid())
        return {};
    QOffscreenSurface surface;
    surface.create();
    if (!context.makeCurrent(&surface))
        return {};
    QByteArray renderer(reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER)));
    context.doneCurrent();
    return renderer;
}

}  // namespace

Kind Prepare()
{
    QOpenGLContext* context = qt_gl_global_share_context();
    if (!context) {
        // The engine wants the shared context even when it draws in software.
        // It lives as long as the program, as Qt's own would.
        context = new QOpenGLContext;
        context->create();
        qt_gl_set_global_share_context(context);
    }
    if (qgetenv("QT_QUICK_BACKEND") == "software")
        return Kind::Software;
    return IsProcessorRenderer(Renderer(*context)) ? Kind::Software : Kind::OpenGL;
}

}  // namespace EngineDrawing
