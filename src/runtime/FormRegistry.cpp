#include "runtime/FormRegistry.h"

#include "runtime/App.h"
#include "runtime/Form.h"

FormRegistry::FormRegistry(App& app) : m_app(app) {}

FormRegistry::~FormRegistry()
{
    // Take the list first: deleting a window may touch the registry.
    std::vector<Entry> entries;
    entries.swap(m_entries);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        delete it->form.data();
}

void FormRegistry::Adopt(std::type_index type, Form* form)
{
    // Registered before its load runs, so a load that refers to its own window
    // (or lets events run) finds this instance and never creates a second one.
    m_entries.push_back({type, form});
    form->Form_Load();
}

bool FormRegistry::CanShow(const Form* form) const
{
    return !form->isUnloaded() && !m_app.ended();
}

Form* FormRegistry::Lookup(std::type_index type) const
{
    for (const Entry& e : m_entries)
        if (e.type == type && e.form && !e.form->isUnloaded())
            return e.form.data();
    return nullptr;
}

void FormRegistry::Discard(Form* form)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->form == form) {
            m_entries.erase(it);
            break;
        }
    }
    form->hide();
    form->deleteLater();
}

void FormRegistry::HideAll()
{
    for (const Entry& e : m_entries)
        if (e.form)
            e.form->hide();
}

void FormRegistry::ShowForm(Form* form)
{
    form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
    form->show();
    form->raise();
    form->activateWindow();
}
