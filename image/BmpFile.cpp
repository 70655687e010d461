// LoadBmpFile: the BMP reader over a locked file, read at absolute positions.
#include "image/BmpReader.h"

#include "io/File.h"

#include <system_error>

int LoadBmpFile(ImageBuffer* image, const std::filesystem::path& path) {
    if (image == nullptr) {
        return kBmpFailed; // nothing is opened
    }
    std::error_code error;
    const std::optional<File> file = File::OpenForReading(path, error);
    if (!file) {
        return kBmpFailed;
    }
    return LoadBmp(image, FileSource(*file)); // the file closes on every path
}
