// LoadBmpFile: the BMP reader over a locked file, read at absolute positions.
#include "image/BmpReader.h"

#include "io/File.h"

#include <system_error>

namespace {

class FileSource final : public ByteSource {
public:
    explicit FileSource(const File& file) : file_(file) {}
    std::int64_t Length() const override { return file_.Length(); }
    std::int64_t ReadAt(std::int64_t position, void* buffer, std::size_t size) const override {
        return file_.ReadAt(position, buffer, size);
    }

private:
    const File& file_;
};

} // namespace

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
