#pragma once

#include <QString>

class QWidget;

// Tells the user something in a small message box. Showing returns at once:
// no handler waits for the user, so no events run inside it behind the
// user's back; the box goes away when the user closes it.
class Messages {
public:
    enum class Icon { Information, Warning };
    // Window: `parent`'s window takes no input while the box is up.
    // None: every window goes on working beside it.
    enum class Modality { Window, None };

    virtual ~Messages() = default;
    virtual void Show(Icon icon, Modality modality, QWidget* parent, const QString& title, const QString& text) = 0;

    // A report that something the user asked for failed, modal to `parent`.
    void Warning(QWidget* parent, const QString& title, const QString& text)
    {
        Show(Icon::Warning, Modality::Window, parent, title, text);
    }
};
