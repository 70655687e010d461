// Loads every size of the application icon from the embedded resources.
#include "ui/AppIcon.h"

namespace {

constexpr int kIconSizes[] = {16, 24, 32, 48, 256};

} // namespace

// The icons live in a static library, whose resource registration the linker
// would drop unless something refers to it.
static void RegisterIconResources() {
    Q_INIT_RESOURCE(tamrel);
}

QIcon LoadAppIcon() {
    RegisterIconResources();
    QIcon icon;
    for (int size : kIconSizes) {
        icon.addFile(QStringLiteral(":/icons/tamrel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
