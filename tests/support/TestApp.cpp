#include "support/TestApp.h"

#include "ports/Services.h"

TestApp::TestApp(BrowserFactory* engine)
    : sound(log, tempDir.path()),
      pictures(log, tempDir.path()),
      browsers(log),
      transfer(log),
      dialogs(log),
      process(log)
{
    BrowserFactory& browserFactory = engine ? *engine : static_cast<BrowserFactory&>(browsers);
    const Services services{sound, pictures, browserFactory, transfer, dialogs, process, random, messages};
    app = std::make_unique<App>(services, tempDir.path());
}

TestApp::~TestApp()
{
    app.reset();
}

ScriptedBrowser* TestApp::BrowserOf(QObject* owner, int n) const
{
    int seen = 0;
    for (const auto& b : browsers.created) {
        if (b && b->parent() == owner) {
            if (seen == n)
                return b.data();
            ++seen;
        }
    }
    return nullptr;
}
