#include "web/engine/PageDialog.h"

#include "runtime/Look.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr double kTextPoints = 9;
constexpr int kTextWidth = 420;

// "&User name:" is read out as "User name:"; the "&" only marks the Alt key.
QString WithoutMnemonic(QString text)
{
    static const QString placeholder(QChar(0xFFFF));
    return text.replace(QStringLiteral("&&"), placeholder).remove(QLatin1Char('&')).replace(placeholder, QStringLiteral("&"));
}
}  // namespace

PageDialog::PageDialog(QWidget* over, const QString& title, const QString& text)
    : QDialog(over ? over->window() : nullptr), m_over(over), m_layout(new QVBoxLayout(this)),
      m_text(new QLabel(text, this)), m_buttons(new QDialogButtonBox(this))
{
    setWindowTitle(title);
    setAccessibleName(title);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    ApplyLook(this, false);

    // A page's words are shown as they are, never as markup of the program's.
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setFixedWidth(kTextWidth);
    m_text->setAccessibleName(title);
    ApplyLook(m_text, false);
    m_layout->addWidget(m_text);
    m_layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    SetButtons(QStringLiteral("OK"));
}

QLineEdit* PageDialog::AddField(const QString& label, bool secret)
{
    auto* row = new QFormLayout;
    auto* name = new QLabel(label, this);
    auto* field = new QLineEdit(this);
    field->setAccessibleName(WithoutMnemonic(label));
    field->setEchoMode(secret ? QLineEdit::Password : QLineEdit::Normal);
    name->setBuddy(field);
    ApplyLook(name, false);
    ApplyLook(field, true);
    row->addRow(name, field);
    m_layout->insertLayout(m_layout->indexOf(m_buttons), row);
    if (m_layout->indexOf(m_buttons) == 2)
        field->setFocus();
    return field;
}

QCheckBox* PageDialog::AddCheck(const QString& text)
{
    auto* check = new QCheckBox(text, this);
    check->setAccessibleName(WithoutMnemonic(text));
    ApplyLook(check, false);
    // The box itself in the red of the fields, so it shows on the dark ground.
    QPalette palette = check->palette();
    palette.setColor(QPalette::Base, Look::darkRed());
    check->setPalette(palette);
    m_layout->insertWidget(m_layout->indexOf(m_buttons), check);
    return check;
}

void PageDialog::SetButtons(const QString& accept, const QString& decline, bool declineIsDefault)
{
    m_buttons->clear();
    m_accept = m_buttons->addButton(accept, QDialogButtonBox::AcceptRole);
    m_accept->setAccessibleName(WithoutMnemonic(accept));
    ApplyLook(m_accept, false);
    m_decline = nullptr;
    if (!decline.isEmpty()) {
        m_decline = m_buttons->addButton(decline, QDialogButtonBox::RejectRole);
        m_decline->setAccessibleName(WithoutMnemonic(decline));
        ApplyLook(m_decline, false);
    }
    QPushButton* preferred = declineIsDefault && m_decline ? m_decline : m_accept;
    for (QPushButton* button : {m_accept, m_decline})
        if (button)
            button->setAutoDefault(button == preferred);
    preferred->setDefault(true);
}

void PageDialog::ApplyLook(QWidget* widget, bool field) const
{
    widget->setFont(Look::font(kTextPoints));
    if (field)
        Look::setColors(widget, Look::darkRed(), Look::highlightText());
    else
        Look::setColors(widget, Look::panel(), Look::highlightText());
}

bool PageDialog::Ask()
{
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    if (m_over)
        connect(m_over, &QObject::destroyed, &loop, &QEventLoop::quit);
    const QPointer<PageDialog> self(this);
    show();
    raise();
    activateWindow();
    loop.exec();
    if (!self)
        return false;
    const bool accepted = isVisible() ? false : result() == QDialog::Accepted;
    hide();
    return accepted;
}

void PageDialog::Dismiss()
{
    if (isVisible())
        reject();
}
