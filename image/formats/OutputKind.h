// The file formats the tool and the window write images in.
#pragma once

enum class OutputKind { Bmp, Pnm, Png, Tiff };
