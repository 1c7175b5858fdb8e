#include "web/EngineDrawing.h"
#include "web/LazyBrowserFactory.h"
#include "support/Doubles.h"

#include <QLabel>
#include <QOpenGLContext>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

TEST(LazyBrowserFactory, AMissingEngineGivesAControlThatSaysWhyAndRefusesEverything)
{
    QTemporaryDir dir;
    RecordingMessages messages;
    LazyBrowserFactory factory(dir.filePath("nimbrelengine"), messages);
    QWidget host;
    BrowserControl* control = factory.Create(&host);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parent(), &host);
    EXPECT_EQ(control->widget()->parentWidget(), &host);
    const auto* view = qobject_cast<QLabel*>(control->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->text().startsWith("The web engine could not be started"));
    EXPECT_FALSE(control->Navigate("http://127.0.0.1/"));
    EXPECT_FALSE(control->GoBack());
    EXPECT_FALSE(control->Refresh());
    EXPECT_TRUE(control->LocationURL().isEmpty());
    EXPECT_FALSE(control->Busy());
    // The module is looked for once; the next window gets the same answer at once.
    BrowserControl* second = factory.Create(&host);
    EXPECT_FALSE(second->Navigate("x"));
}

TEST(EngineDrawing, DrawsInSoftwareOnlyWhereOpenGLIsDrawnByTheProcessor)
{
    for (const char* processor : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
                                  "Google SwiftShader", "GDI Generic", "Microsoft Basic Render Driver", "", "  "})
        EXPECT_TRUE(EngineDrawing::IsProcessorRenderer(processor)) << processor;
    // Graphics cards, some of whose names mention LLVM, the compiler of their shaders.
    for (const char* card : {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)",
                             "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)",
                             "NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", "virgl (Mesa Intel(R) Xe Graphics)", "Apple M1"})
        EXPECT_FALSE(EngineDrawing::IsProcessorRenderer(card)) << card;
}

TEST(EngineDrawing, TheUsersChoiceOfSoftwareIsKeptAndTheSharedContextIsThere)
{
    qputenv("QT_QUICK_BACKEND", "software");
    EXPECT_EQ(EngineDrawing::Prepare(), EngineDrawing::Kind::Software);
    qunsetenv("QT_QUICK_BACKEND");
    EXPECT_NE(QOpenGLContext::globalShareContext(), nullptr);
}
