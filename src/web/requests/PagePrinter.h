#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

class QPrintDialog;
class QPrinter;
class QWebEnginePage;
class QWebEngineView;

// Prints a page when it asks (window.print()) or the user presses Ctrl+P in
// the window showing it: the print dialog chooses a printer, or a PDF file
// where there is none; Cancel leaves everything as it was. The dialog blocks
// no window. A child of the page.
class PagePrinter final : public QObject {
    Q_OBJECT
public:
    // `view` shows the page; Ctrl+P works anywhere in its window.
    PagePrinter(QWebEnginePage* page, QWebEngineView* view);
    ~PagePrinter() override;

    void Print();

private:
    void OnChosen();
    void OnPrinted(bool ok);

    QWebEnginePage* m_page;
    QPointer<QPrintDialog> m_dialog;
    // The printer the dialog sets up; the view printing keeps it until it is done.
    std::shared_ptr<QPrinter> m_printer;
    // The view printing, until it reports the end.
    QPointer<QWebEngineView> m_printing;
};
