#pragma once

#include "runtime/Form.h"

class QPlainTextEdit;

// A scratch pad whose whole text is written to "Notes.TXT" on every change
// and read back when the pad opens. The file lives where UserFiles puts it;
// when it cannot be written the user is told once and the text stays.
class NotePadFRM final : public Form {
    Q_OBJECT
public:
    explicit NotePadFRM(App& app);
    ~NotePadFRM() override;

    static QString Title();

    void Form_Load() override;
    void Form_Unload() override;
    void Data_Change();

    QString NotesPath() const;

private:
    friend struct TestAccess<NotePadFRM>;

    QPlainTextEdit* Data = nullptr;
    void WritePendingChange();

    mutable QString m_notesPath;
    bool m_writePending = false;
};
