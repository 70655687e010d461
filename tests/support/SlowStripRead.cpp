// Preloaded into the window by the test of a roll's export stopped
// midway: reads of the file TAMREL_SLOW_FILE names, made off the main
// thread (the export's worker; the window reads a strip on its main
// thread when it opens it or shows a frame), crawl once past its first
// TAMREL_SLOW_AFTER bytes: at most 16 KiB a call, TAMREL_SLOW_MS after
// each. So an Escape lands while a strip is being written, whatever the
// machine's speed.
#include <dlfcn.h>
#include <limits.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kSlowPiece = 16 * 1024;

using ReadFn = ssize_t (*)(int, void*, std::size_t);
using PreadFn = ssize_t (*)(int, void*, std::size_t, off_t);

// The piece a read of `size` bytes at `offset` of `fd` may take, and
// whether to sleep after it.
std::size_t SlowSize(int fd, std::size_t size, off_t offset, bool& slow) {
    slow = false;
    const char* file = std::getenv("TAMREL_SLOW_FILE");
    const char* after = std::getenv("TAMREL_SLOW_AFTER");
    if (file == nullptr || after == nullptr || ::syscall(SYS_gettid) == ::getpid()) {
        return size;
    }
    char link[PATH_MAX] = {};
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(proc.c_str(), link, sizeof link - 1);
    if (length <= 0 || std::strcmp(link, file) != 0 || offset < std::atoll(after)) {
        return size;
    }
    slow = true;
    return std::min(size, kSlowPiece);
}

void Crawl(bool slow) {
    const char* ms = std::getenv("TAMREL_SLOW_MS");
    if (slow && ms != nullptr) {
        ::usleep(useconds_t(std::atoi(ms)) * 1000);
    }
}

} // namespace

extern "C" ssize_t read(int fd, void* bytes, std::size_t size) {
    static const auto next = reinterpret_cast<ReadFn>(::dlsym(RTLD_NEXT, "read"));
    bool slow = false;
    const std::size_t piece = SlowSize(fd, size, ::lseek(fd, 0, SEEK_CUR), slow);
    const ssize_t got = next(fd, bytes, piece);
    Crawl(slow);
    return got;
}

extern "C" ssize_t pread(int fd, void* bytes, std::size_t size, off_t offset) {
    static const auto next = reinterpret_cast<PreadFn>(::dlsym(RTLD_NEXT, "pread"));
    bool slow = false;
    const std::size_t piece = SlowSize(fd, size, offset, slow);
    const ssize_t got = next(fd, bytes, piece, offset);
    Crawl(slow);
    return got;
}

extern "C" ssize_t pread64(int fd, void* bytes, std::size_t size, off_t offset) {
    return pread(fd, bytes, size, offset);
}
