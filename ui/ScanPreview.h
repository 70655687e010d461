// The last preview scan, kept by the window for the next scan dialog: which
// device and source it shows, and the picture of the whole bed.
#pragma once

#include <QImage>
#include <QString>

struct ScanPreview {
    QString device;
    QString source;
    QImage image; // null: no preview
};
