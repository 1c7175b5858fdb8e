#pragma once

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// A question a page's request puts to the user (a script's alert, a sign-in,
// a certificate problem, a permission), as a window of the program's own, in
// its look: dark, OCR-A lettering, the red of the address boxes for fields.
//
// The dialog is not modal: it blocks no other window, so the user can still
// reach the address box, close the main window or end the program while it
// is up. Ask() waits for the answer in a local event loop; it returns early,
// as if declined, when the dialog is dismissed (the page navigated, its
// request was withdrawn), when the window it was asked over goes, or when the
// program ends.
class PageDialog : public QDialog {
    Q_OBJECT
public:
    // `over` is the widget showing the page (the dialog stands over its window).
    PageDialog(QWidget* over, const QString& title, const QString& text);

    // A line field under the text; `label` names it for the user and screen readers.
    QLineEdit* AddField(const QString& label, bool secret = false);
    QCheckBox* AddCheck(const QString& text);
    // The two buttons; with `declineIsDefault`, Enter declines.
    void SetButtons(const QString& accept, const QString& decline = QString(), bool declineIsDefault = false);

    // Shows the dialog and waits for the answer: true when the user accepted.
    bool Ask();
    // Ends a pending Ask() as declined and closes the dialog.
    void Dismiss();

private:
    void ApplyLook(QWidget* widget, bool field) const;

    QPointer<QWidget> m_over;
    QVBoxLayout* m_layout;
    QLabel* m_text;
    QDialogButtonBox* m_buttons;
    QPushButton* m_accept = nullptr;
    QPushButton* m_decline = nullptr;
};
