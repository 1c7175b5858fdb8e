#pragma once

#include "ports/BrowserControl.h"

#include <QString>
#include <memory>

class Messages;

// Loads the web engine when the first browser control is asked for, not when
// the program starts: the engine's libraries and its graphics set-up cost a
// good part of a second, and the splash window should not wait for them.
// If the engine cannot be loaded, every control shows why, and refuses all
// operations.
class LazyBrowserFactory final : public BrowserFactory {
public:
    // `modulePath` is the engine module without its platform suffix; the
    // engine tells the user through `messages`.
    LazyBrowserFactory(QString modulePath, Messages& messages);
    ~LazyBrowserFactory() override;

    BrowserControl* Create(QWidget* parent) override;

private:
    BrowserFactory* Engine();

    QString m_modulePath;
    Messages& m_messages;
    std::unique_ptr<BrowserFactory> m_engine;
    bool m_tried = false;
    QString m_error;
};
