#pragma once

#include "runtime/Form.h"
#include "userfiles/UserTextFile.h"

class ImageControl;
class QPlainTextEdit;
class QPushButton;

// The HTML editor: the source of one page as plain text, opened from and
// saved to files the user chooses, and previewed in EditorBrowserFRM through
// the preview file in the program directory.
class EditorFRM final : public Form {
    Q_OBJECT
public:
    // How a file's bytes became the text, and so how Save writes it back.
    // A byte-order mark stays in the text, so the encoding is Utf8 or
    // Windows1252.
    using FileEncoding = UserTextFile::Encoding;

    explicit EditorFRM(App& app);
    ~EditorFRM() override;

    static QString StarterPage();
    static QString Filter();

    // The whole editor text, lines joined by CR LF.
    QString Text() const;
    // Replaces the whole editor text (the source viewer's "Open In Editor").
    void SetText(const QString& text);
    FileEncoding Encoding() const { return m_encoding; }
    // Program directory + "/Preview.html".
    QString PreviewPath() const;

    void Form_Load() override;
    void Form_Unload() override;

    void Command1_Click();  // Back
    void Command2_Click();  // Preview
    void Command3_Click();  // Save
    void Command4_Click();  // Open
    void Command5_Click();  // Minimize

private:
    friend struct TestAccess<EditorFRM>;

    // Controls, named as the window's design names them.
    QPlainTextEdit* RichText = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    ImageControl* ImagePic = nullptr;

    QPushButton* MakeButton(const QString& name, const QString& caption, bool bold);
    // Writes the text and one CR LF to `path`, replacing it whole or not at
    // all; on failure tells the user and returns false.
    bool WritePage(const QString& path, const QString& what);
    // Reads `path`; on failure tells the user and returns false. A file
    // with no lines gives an empty list.
    bool ReadPage(const QString& path, QStringList& lines, FileEncoding& encoding);
    void ReplaceText(const QString& text, FileEncoding encoding);
    void Complain(const QString& text);

    FileEncoding m_encoding = FileEncoding::Utf8;
    mutable QString m_previewPath;
};
