// The application icon: three tone curves, at 16, 24, 32, 48 and 256 pixels.
#pragma once

#include <QIcon>

QIcon LoadAppIcon();
