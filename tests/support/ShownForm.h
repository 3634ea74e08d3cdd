#pragma once

// A shown, active form holding the controls of a test; hidden again when the
// test ends.

#include "platform/ui/Forms.h"

#include <QApplication>
#include <QCoreApplication>

struct ShownForm {
    TForm form{nullptr};
    ShownForm(int clientWidth, int clientHeight)
    {
        form.SetClientSize(clientWidth, clientHeight);
        form.AfterConstruction();
    }
    ShownForm(const ShownForm&) = delete;
    ShownForm& operator=(const ShownForm&) = delete;
    template <class T>
    T* Add(int l, int t, int w, int h)
    {
        auto* c = new T(&form);  // owned by the form
        c->SetParent(&form);
        c->SetBounds(l, t, w, h);
        return c;
    }
    void Show()
    {
        form.Show();
        QApplication::setActiveWindow(&form);
        QCoreApplication::processEvents();
    }
    ~ShownForm() { form.Hide(); }
};
