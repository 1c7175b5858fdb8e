#pragma once

#include "runtime/Form.h"

class BrowserControl;

// A window of its own that browses the file system from its root ("C:\" to
// the browser control) through its own browser control.
class DriveExplorer final : public Form {
    Q_OBJECT
public:
    explicit DriveExplorer(App& app);

    static QString Title();
    static QString RootFolder();

    void Form_Load() override;
    void Form_Unload() override;

private:
    friend struct TestAccess<DriveExplorer>;

    BrowserControl* DriveExplorerWindow = nullptr;
};
