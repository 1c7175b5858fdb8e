#pragma once

#include "runtime/Form.h"

#include <array>

class ImageControl;
class QGroupBox;
class QLabel;
class QLineEdit;
class RuleLines;

// A fixed panel of fifteen preset addresses in six cells. Moving the pointer
// over an address describes it; a double-click opens the address (as the slot
// reads at that moment) in the main browser (App::mainBrowser()). Nothing is stored.
class LinksFRM final : public Form {
    Q_OBJECT
public:
    explicit LinksFRM(App& app);
    ~LinksFRM() override;

    static QString Title();
    static constexpr int kSlotCount = 15;
    // The preset address and the description of slot `number` (1 to 15).
    static QString PresetAddress(int number);
    static QString Description(int number);

    void Form_Load() override;
    void Form_Unload() override;
    // The family of handlers One_MouseMove to Fifteen_MouseMove and
    // One_DblClick to Fifteen_DblClick, for the slot of that number.
    void Slot_MouseMove(int number);
    void Slot_DblClick(int number);
    void Data_MouseMove();
    void Form_MouseMove();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct TestAccess<LinksFRM>;

    // The slot of that number (1 to 15).
    QLineEdit* Slot(int number) const { return m_slots.at(number - 1); }
    QLineEdit* CreateSlot(int number, double left, double top);
    void DrawRules();
    int SlotNumber(const QObject* control) const;

    // Controls, named as the window's design names them.
    QLineEdit* One = nullptr;
    QLineEdit* Two = nullptr;
    QLineEdit* Three = nullptr;
    QLineEdit* Four = nullptr;
    QLineEdit* Five = nullptr;
    QLineEdit* Six = nullptr;
    QLineEdit* Seven = nullptr;
    QLineEdit* Eight = nullptr;
    QLineEdit* Nine = nullptr;
    QLineEdit* Ten = nullptr;
    QLineEdit* Eleven = nullptr;
    QLineEdit* Twelve = nullptr;
    QLineEdit* Thirteen = nullptr;
    QLineEdit* Fourteen = nullptr;
    QLineEdit* Fifteen = nullptr;
    QGroupBox* DesY = nullptr;
    QLabel* Data = nullptr;
    RuleLines* Rules = nullptr;
    ImageControl* BGImage = nullptr;
    std::array<QLineEdit*, kSlotCount> m_slots{};
};
