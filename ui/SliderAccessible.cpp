#include "ui/SliderAccessible.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QSlider>
#include <QVariant>

namespace {

constexpr const char* kSpokenValueProperty = "tamrelSpokenValue";

class SpokenValueSlider final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SpokenValueSlider(QSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return Slider()->property(kSpokenValueProperty).toString();
        }
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return Slider()->value(); }
    void setCurrentValue(const QVariant& value) override { Slider()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return Slider()->maximum(); }
    QVariant minimumValue() const override { return Slider()->minimum(); }
    QVariant minimumStepSize() const override { return Slider()->singleStep(); }

private:
    QSlider* Slider() const { return static_cast<QSlider*>(widget()); }
};

QAccessibleInterface* SliderFactory(const QString& className, QObject* object) {
    auto* slider = qobject_cast<SpokenSlider*>(object);
    if (className == QLatin1String(SpokenSlider::staticMetaObject.className()) && slider) {
        return new SpokenValueSlider(slider);
    }
    return nullptr;
}

} // namespace

void InstallSliderAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(SliderFactory);
        return true;
    }();
    (void)installed;
}

void SetSpokenValue(QSlider* slider, const QString& text) {
    slider->setProperty(kSpokenValueProperty, text.trimmed());
}
