#pragma once

#include "ports/BrowserControl.h"

class QLabel;

// Stands in for a browser control when the web engine could not be loaded:
// its view says so, and every operation is refused.
class UnavailableBrowser final : public BrowserControl {
    Q_OBJECT
public:
    UnavailableBrowser(const QString& reason, QWidget* parent);

    QWidget* widget() const override;
    bool Navigate(const QString&) override { return false; }
    bool GoBack() override { return false; }
    bool GoForward() override { return false; }
    bool Refresh() override { return false; }
    bool Stop() override { return false; }
    bool GoHome() override { return false; }
    bool GoSearch() override { return false; }
    QString LocationURL() const override { return {}; }
    QString LocationName() const override { return {}; }
    bool Busy() const override { return false; }

private:
    QLabel* m_view;
};
