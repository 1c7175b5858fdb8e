#include "web/engine/FindBar.h"

#include "runtime/Look.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
constexpr double kPoints = 9;
constexpr int kWidth = 300;
constexpr int kHeight = 26;
constexpr int kMargin = 6;
}  // namespace

FindBar::FindBar(QWebEngineView* view)
    : QWidget(view), m_view(view), m_field(new QLineEdit(this)), m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("findBar"));
    setAccessibleName(QStringLiteral("Find"));
    Look::setColors(this, Look::panel(), Look::highlightText());
    m_field->setAccessibleName(QStringLiteral("Find"));
    m_field->setFont(Look::font(kPoints));
    Look::setColors(m_field, Look::darkRed(), Look::highlightText());
    m_field->setFrame(false);
    m_count->setFont(Look::font(kPoints));
    m_count->setMinimumWidth(kWidth / 3);
    m_count->setAlignment(Qt::AlignCenter);
    m_count->setAccessibleName(QStringLiteral("Matches"));
    Look::setTextColor(m_count, Look::highlightText());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(4);
    layout->addWidget(m_field, 1);
    layout->addWidget(m_count);
    hide();

    connect(m_field, &QLineEdit::textEdited, this, [this] { Find(false); });
    m_field->installEventFilter(this);
    view->installEventFilter(this);
    if (view->page())
        connect(view->page(), &QWebEnginePage::loadStarted, this, &FindBar::OnNewPage);

    const auto shortcut = [view, this](const QKeySequence& keys, void (FindBar::*action)()) {
        auto* key = new QShortcut(keys, view);
        key->setContext(Qt::WindowShortcut);
        connect(key, &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_F), &FindBar::Open);
    shortcut(QKeySequence(Qt::Key_F3), &FindBar::Next);
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), &FindBar::Previous);
}

QString FindBar::Text() const
{
    return m_field->text();
}

QString FindBar::Count() const
{
    return m_count->text();
}

void FindBar::Open()
{
    Place();
    show();
    raise();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void FindBar::Close()
{
    if (!isVisible())
        return;
    const bool hadFocus = m_field->hasFocus();
    hide();
    m_count->clear();
    if (m_view && m_view->page())
        m_view->page()->findText(QString());  // clears the highlight
    if (hadFocus && m_view)
        m_view->setFocus(Qt::OtherFocusReason);
}

void FindBar::Next()
{
    if (!isVisible() || m_field->text().isEmpty()) {
        Open();
        return;
    }
    Find(false);
}

void FindBar::Previous()
{
    if (!isVisible() || m_field->text().isEmpty()) {
        Open();
        return;
    }
    Find(true);
}

void FindBar::Find(bool backward)
{
    if (!m_view || !m_view->page())
        return;
    const QString text = m_field->text();
    if (text.isEmpty()) {
        m_count->clear();
        m_view->page()->findText(QString());
        return;
    }
    const QPointer<FindBar> self(this);
    m_view->page()->findText(text, backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags(),
                             [self](const QWebEngineFindTextResult& result) {
                                 if (self)
                                     self->ShowResult(result);
                             });
}

void FindBar::ShowResult(const QWebEngineFindTextResult& result)
{
    if (!isVisible() || m_field->text().isEmpty())
        return;
    if (result.numberOfMatches() == 0)
        m_count->setText(QStringLiteral("No matches"));
    else
        m_count->setText(QStringLiteral("%1 of %2").arg(result.activeMatch()).arg(result.numberOfMatches()));
}

void FindBar::OnNewPage()
{
    if (!isVisible())
        return;
    hide();
    m_count->clear();
}

void FindBar::Place()
{
    if (!m_view)
        return;
    const int width = qMin(kWidth, m_view->width() - 2 * kMargin);
    setGeometry(m_view->width() - width - kMargin, kMargin, width, kHeight);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_field) {
        // Escape and Enter belong to the field while it has the focus, not
        // to the window's keys (Escape stops a loading page there).
        if (event->type() == QEvent::ShortcutOverride) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
                event->accept();
                return true;
            }
        }
        if (event->type() == QEvent::KeyPress) {
            const auto* press = static_cast<QKeyEvent*>(event);
            if (press->key() == Qt::Key_Escape) {
                Close();
                return true;
            }
            if (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter) {
                Find(press->modifiers() & Qt::ShiftModifier);
                return true;
            }
        }
    }
    if (watched == parent() && event->type() == QEvent::Resize && isVisible())
        Place();
    if (watched == parent() && event->type() == QEvent::ChildAdded && isVisible())
        raise();
    return QWidget::eventFilter(watched, event);
}
