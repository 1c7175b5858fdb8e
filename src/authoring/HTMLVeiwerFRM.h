#pragma once

#include "runtime/Form.h"

class ImageControl;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The HTML source viewer: fetches an address through the transfer service and
// shows the body as plain text, which "Open In Editor" hands to EditorFRM.
class HTMLVeiwerFRM final : public Form {
    Q_OBJECT
public:
    explicit HTMLVeiwerFRM(App& app);
    ~HTMLVeiwerFRM() override;

    void Form_Load() override;
    void Form_Unload() override;

    void VS_Click();
    void URL_KeyPress(int keyAscii);
    void OpenInEd_Click();

private:
    friend struct TestAccess<HTMLVeiwerFRM>;

    // Controls, named as the window's design names them.
    QLabel* data = nullptr;
    QLineEdit* URL = nullptr;
    QPushButton* VS = nullptr;
    QFrame* LineOne = nullptr;
    QPushButton* OpenInEd = nullptr;
    QPlainTextEdit* HTML = nullptr;
    ImageControl* ImagePic = nullptr;
};
