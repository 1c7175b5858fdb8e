#pragma once

#include "runtime/Form.h"

#include <QString>
#include <vector>

class ImageControl;
class QLineEdit;
class QListWidget;
class RuleLines;

// The user's favourite places: an address box with the skinned Add and Del
// buttons over a list kept in "FavPlaces.TXT" (where UserFiles puts it),
// written after every change; a write that fails is reported once.
// A double-click opens the selected entry in the main browser.
class FavoritePlacesFRM final : public Form {
    Q_OBJECT
public:
    explicit FavoritePlacesFRM(App& app);
    ~FavoritePlacesFRM() override;

    static QString Title();

    void Form_Load() override;
    void Form_Unload() override;
    void Add_MouseDown();
    void Del_MouseDown();
    void Add_Click();
    void Del_Click();
    void URL_KeyPress(int keyAscii);
    void ListBox_DblClick();

    // True while Form_Load is still reading the list from the file.
    bool isReadingList() const { return m_readingList; }
    // Where the list is kept (see UserFiles).
    QString FavoritesPath() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct TestAccess<FavoritePlacesFRM>;

    // Controls, named as the window's design names them.
    QLineEdit* URL = nullptr;
    QListWidget* ListBox = nullptr;
    ImageControl* Add = nullptr;
    ImageControl* Del = nullptr;
    RuleLines* Line = nullptr;
    ImageControl* BGPic = nullptr;

    // An Add or Del that came while the list was still being read. Its change
    // and the file write wait until the whole list is in, so the file is never
    // rewritten from half a list.
    struct PendingChange {
        enum class Kind { Add, Del } kind;
        QString text;
    };

    bool LetEventsRun();
    void WriteList();
    void AppendEntry(const QString& text);
    void RemoveSelectedEntry();
    void ApplyPendingChanges();

    mutable QString m_favoritesPath;
    bool m_readingList = false;
    int m_entriesSinceTurn = 0;
    std::vector<PendingChange> m_pending;
};
