#pragma once

#include <QPointer>
#include <typeindex>
#include <vector>

class App;
class Form;

// Owns every window. Get and Show create and load a window on first use
// (Get without showing it); Find and ShowLoaded only look a window up and
// never create one, for callers that must not bring a window into being.
// Unloading discards a window and the next Get creates it afresh. Nothing
// else keeps a raw pointer to a window across events: ask the registry
// again, or hold a QPointer.
class FormRegistry {
public:
    explicit FormRegistry(App& app);
    ~FormRegistry();  // destroys the windows without running their unload handling
    FormRegistry(const FormRegistry&) = delete;
    FormRegistry& operator=(const FormRegistry&) = delete;

    // The window, created and loaded (Form_Load) if it does not exist yet.
    template <class T>
    T* Get()
    {
        if (T* existing = Find<T>())
            return existing;
        T* created = new T(m_app);
        Adopt(typeid(T), created);
        return created;
    }

    // The window if it exists, else nullptr; never creates it.
    template <class T>
    T* Find() const
    {
        return static_cast<T*>(Lookup(typeid(T)));
    }

    // Get, then show modeless and bring forward.
    template <class T>
    T* Show()
    {
        return ShowIfAllowed(Get<T>());
    }

    // Shows the window and brings it forward if it exists; never creates it.
    template <class T>
    T* ShowLoaded()
    {
        T* form = Find<T>();
        return form ? ShowIfAllowed(form) : nullptr;
    }

    // Called by a window that unloads: it leaves the registry and is deleted
    // once control is back in the event loop.
    void Discard(Form* form);
    void HideAll();
    static void ShowForm(Form* form);

private:
    void Adopt(std::type_index type, Form* form);
    // False for a window that was closed while its load let events run, or
    // when the program ended meanwhile: it is not shown again.
    bool CanShow(const Form* form) const;
    template <class T>
    T* ShowIfAllowed(T* form)
    {
        if (CanShow(form))
            ShowForm(form);
        return form;
    }
    Form* Lookup(std::type_index type) const;

    struct Entry {
        std::type_index type;
        QPointer<Form> form;
    };
    App& m_app;
    std::vector<Entry> m_entries;
};
