#include "web/requests/PagePrinter.h"

#include "runtime/Look.h"
#include "web/engine/PageDialog.h"

#include <QKeySequence>
#include <QPalette>
#include <QPrintDialog>
#include <QPrinter>
#include <QShortcut>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
constexpr double kTextPoints = 9;

// The program's dark look for Qt's own dialog and everything in it.
void ApplyLook(QWidget* dialog)
{
    QPalette palette = dialog->palette();
    const QColor background = Look::panel();
    const QColor button(48, 48, 48);
    for (const auto role : {QPalette::Window, QPalette::AlternateBase, QPalette::ToolTipBase})
        palette.setColor(role, background);
    palette.setColor(QPalette::Button, button);
    palette.setColor(QPalette::Base, Look::darkRed());
    palette.setColor(QPalette::Highlight, Look::darkRed().lighter(140));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText,
                            QPalette::HighlightedText, QPalette::BrightText})
        palette.setColor(role, Look::highlightText());
    palette.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
    palette.setColor(QPalette::Disabled, QPalette::Text, Qt::gray);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, Qt::gray);
    palette.setColor(QPalette::Disabled, QPalette::Base, background);
    dialog->setPalette(palette);
    dialog->setFont(Look::font(kTextPoints));
}
}  // namespace

PagePrinter::PagePrinter(QWebEnginePage* page, QWebEngineView* view) : QObject(page), m_page(page)
{
    connect(page, &QWebEnginePage::printRequested, this, &PagePrinter::Print);
    auto* shortcut = new QShortcut(QKeySequence::Print, view);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &PagePrinter::Print);
}

PagePrinter::~PagePrinter()
{
    delete m_dialog.data();
}

void PagePrinter::Print()
{
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    if (m_printing)
        return;  // one print at a time; the engine refuses a second
    QWebEngineView* view = QWebEngineView::forPage(m_page);
    m_printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    m_printer->setDocName(m_page->title());
    m_dialog = new QPrintDialog(m_printer.get(), view ? view->window() : nullptr);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog->setWindowModality(Qt::NonModal);
    m_dialog->setWindowTitle(QStringLiteral("Print - %1").arg(m_page->url().host()));
    m_dialog->setAccessibleName(m_dialog->windowTitle());
    ApplyLook(m_dialog);
    connect(m_dialog, &QDialog::accepted, this, &PagePrinter::OnChosen);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void PagePrinter::OnChosen()
{
    QWebEngineView* view = QWebEngineView::forPage(m_page);
    if (!view || !m_printer)
        return;
    m_printing = view;
    // The printer lives until the view has finished with it, even if the
    // page (and this) should go first.
    QPrinter* printer = m_printer.get();
    const QPointer<PagePrinter> self(this);
    connect(view, &QWebEngineView::printFinished, view,
            [self, keep = std::move(m_printer)](bool ok) {
                if (self)
                    self->OnPrinted(ok);
            },
            Qt::SingleShotConnection);
    view->print(printer);
}

void PagePrinter::OnPrinted(bool ok)
{
    m_printing = nullptr;
    if (ok)
        return;
    QWebEngineView* view = QWebEngineView::forPage(m_page);
    auto* notice = new PageDialog(view, QStringLiteral("Print"),
                                  QStringLiteral("The page could not be printed."));
    connect(notice, &QDialog::finished, notice, &QObject::deleteLater);
    notice->show();
}
