#include "support/TestApp.h"

#include "platform/Services.h"

TestApp::TestApp()
    : sound(log, tempDir.path()),
      pictures(log, tempDir.path()),
      browsers(log),
      transfer(log),
      dialogs(log),
      process(log)
{
    const Services services{sound, pictures, browsers, transfer, dialogs, process, random};
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
