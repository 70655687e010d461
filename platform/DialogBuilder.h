// Builds a dialog's child widgets from its template and finds them by ID.
#pragma once

#include "platform/DialogTemplate.h"
#include "platform/DialogUnits.h"

#include <QWidget>

#include <functional>
#include <map>
#include <vector>

class QDialog;

// The dialog's controls: by ID (controls with an ID) and in template order.
class ControlMap {
public:
    void Add(int id, QWidget* widget);

    // The control with this ID, or nullptr.
    QWidget* Item(int id) const;

    template <class Widget> Widget* ItemAs(int id) const { return qobject_cast<Widget*>(Item(id)); }

    const std::vector<QWidget*>& InTemplateOrder() const { return ordered_; }

private:
    std::map<int, QWidget*> byId_;
    std::vector<QWidget*> ordered_;
};

// Makes the widget for a control the builder does not know how to make
// (paint areas), or returns nullptr to get the builder's plain one.
using WidgetFactory = std::function<QWidget*(const ControlTemplate&, QWidget* parent)>;

struct BuiltDialog {
    ControlMap controls;
    BaseUnits baseUnits;
};

// Sets the dialog's font, caption and fixed client size, and creates every
// control in template order (which is also the tab order).
BuiltDialog BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate,
                        const WidgetFactory& factory = {});

// The dialog font: the template's face at its point size, falling back to the
// template's fallback face where the first is not installed.
QFont DialogFont(const DialogTemplate& dialogTemplate);
