// A null label (a control the template lacks) is left alone.
#include "ui/SpokenLabel.h"

#include <QLabel>

void SetTextIfChanged(QLabel* label, const QString& text, const QString& spokenName) {
    if (!label) {
        return;
    }
    if (label->text() != text) {
        label->setText(text);
    }
    if (label->accessibleName() != spokenName) {
        label->setAccessibleName(spokenName);
    }
}
