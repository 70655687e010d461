// The window's messages that more than one of its activities shows, each
// worded once.
#pragma once

#include <QString>

inline const QString kCannotSave = QStringLiteral("ファイルを保存できません。");

// A negative's film in tables of 8 bits (the table files, a device's
// tables): its dense parts fall on a few levels.
inline const QString kNarrowNegative = QStringLiteral(
    "8 ビットのテーブルでは濃いネガの暗部を表せません。16 ビットのリニアスキャンをお勧めします。");
