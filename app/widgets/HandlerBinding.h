#pragma once

#include "platform/ErrorBoundary.h"

#include <QAction>
#include <QObject>
#include <QToolButton>

// Binds a main-window handler to a tool button's click or a menu item, inside the error
// boundary. A missing control binds nothing.
template <typename Form, typename Handler>
void BindClick(QToolButton* button, Form* form, Handler handler) {
    if (!button)
        return;
    QObject::connect(button, &QToolButton::clicked, form, [form, handler] {
        ErrorBoundary::run([form, handler] { (form->*handler)(); });
    });
}

template <typename Form, typename Handler>
void BindAction(QAction* action, Form* form, Handler handler) {
    if (!action)
        return;
    QObject::connect(action, &QAction::triggered, form, [form, handler] {
        ErrorBoundary::run([form, handler] { (form->*handler)(); });
    });
}
