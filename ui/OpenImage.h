// 「画像ファイル(bmp)を開く...」's side of the user: the open dialog (every
// image the window reads first, then each format, then all files), the file
// read with the wait cursor up, and the message when it cannot be.
#pragma once

#include "image/ReadImage.h"

#include <filesystem>
#include <optional>

class AskUser;

struct OpenedImage {
    KeptImage image; // at the file's own depth
    std::filesystem::path path;
    Reason warning; // what the reader went past (a JPEG without its end marker)
};

// The image the user picked, read; nullopt when the user cancelled or the
// file could not be read (which was told, with the reader's reason).
std::optional<OpenedImage> OpenImageAsked(AskUser& ask);

// Says what the reader went past, if anything: after the picture shows.
void TellOpenWarning(AskUser& ask, const OpenedImage& opened);
