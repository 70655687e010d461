// A small tmpfs mounted over a folder for the life of the object, so that a
// write can run out of room for real (ENOSPC). Mounting needs CAP_SYS_ADMIN;
// without it the disk is not there and Why() says so, for a test to skip.
#pragma once

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

class SmallDisk {
public:
    SmallDisk(const std::filesystem::path& folder, std::size_t kib) : folder_(folder) {
        std::filesystem::create_directories(folder_);
        const std::string options = "size=" + std::to_string(kib) + "k,mode=0700";
        if (::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) ==
            0) {
            mounted_ = true;
        } else {
            why_ = std::string("cannot mount a tmpfs (") + std::strerror(errno) +
                   "): a full disk needs CAP_SYS_ADMIN";
        }
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Why() const { return why_; }
    const std::filesystem::path& Path() const { return folder_; }

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
    std::string why_;
};
