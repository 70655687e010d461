// The second line of a failure message in the window: the file's name and,
// in Japanese, why the operation failed.
#pragma once

#include "io/Reason.h"

#include <QString>

#include <filesystem>

// "image.bmp: BMP の情報ヘッダーが 124 バイトです（40 バイトのヘッダーのみ対応）".
QString ReasonLine(const std::filesystem::path& file, const Reason& why);

// The reason alone.
QString ReasonText(const Reason& why);
