#pragma once

// Services for benchmarks that measure one window's own work: silent, offline
// and without dialogs, so only the code under measurement takes time.
#include "platform/BrowserControl.h"
#include "platform/FileDialogs.h"
#include "platform/ProcessEnd.h"
#include "platform/SoundPlayer.h"
#include "platform/Transfer.h"

#include <QWidget>

namespace bench {

class SilentSound final : public SoundPlayer {
public:
    void PlayWave(const QString&) override {}
};

// A browser control that only remembers the address it was sent to.
class BlankBrowser final : public BrowserControl {
public:
    explicit BlankBrowser(QWidget* parent) : BrowserControl(parent), m_view(new QWidget(parent)) {}
    QWidget* widget() const override { return m_view; }
    bool Navigate(const QString& address) override
    {
        m_url = address;
        return true;
    }
    bool GoBack() override { return false; }
    bool GoForward() override { return false; }
    bool Refresh() override { return true; }
    bool Stop() override { return true; }
    bool GoHome() override { return true; }
    bool GoSearch() override { return true; }
    QString LocationURL() const override { return m_url; }
    QString LocationName() const override { return m_url; }
    bool Busy() const override { return false; }

private:
    QWidget* m_view;
    QString m_url;
};

class BlankBrowsers final : public BrowserFactory {
public:
    BrowserControl* Create(QWidget* parent) override { return new BlankBrowser(parent); }
};

class NoTransfer final : public Transfer {
public:
    TransferResult OpenURL(const QString&) override { return {}; }
};

class NoDialogs final : public FileDialogs {
public:
    QString ShowOpen(QWidget*, const QString&) override { return {}; }
    QString ShowSave(QWidget*, const QString&) override { return {}; }
};

class NoEnd final : public ProcessEnd {
public:
    void EndNow() override {}
};

}  // namespace bench
