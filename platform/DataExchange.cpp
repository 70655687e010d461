// Slider exchange and the integer range check of the save direction.
#include "platform/DataExchange.h"

#include "platform/AskUser.h"

#include <QSignalBlocker>
#include <QSlider>

void DataExchange::Slider(int id, int& position) {
    lastId_ = id;
    QSlider* slider = controls_.ItemAs<QSlider>(id);
    if (!slider) {
        return;
    }
    if (Saving()) {
        position = slider->value();
    } else {
        const QSignalBlocker quiet(slider);
        slider->setValue(position);
    }
}

void DataExchange::MinMax(int value, int min, int max) {
    if (!Saving() || (value >= min && value <= max)) {
        return;
    }
    ask_.ShowMessage(RangeMessage(min, max), MessageButtons::Ok, MessageIcon::Default);
    if (QWidget* control = controls_.Item(lastId_)) {
        control->setFocus();
    }
    throw DataExchangeFailure();
}

QString RangeMessage(int min, int max) {
    return QStringLiteral("%1 から %2 までの整数を入力してください。").arg(min).arg(max);
}
