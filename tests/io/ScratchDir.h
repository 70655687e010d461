// A fresh folder for one test, removed with all it holds; byte helpers; and a
// child process for cases that change limits or identity.
#pragma once

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

inline std::set<std::string> EntriesOf(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Read in one go: a character at a time through an iterator took seconds
// for a large file in the unoptimised tests under the sanitizers.
inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class ScratchDir {
public:
    ScratchDir() {
        std::string name = (std::filesystem::temp_directory_path() / "tamrel-io-XXXXXX").string();
        path_ = ::mkdtemp(name.data()) ? name : "";
    }
    ~ScratchDir() { std::filesystem::remove_all(path_, ignored_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::set<std::string> Entries() const { return EntriesOf(path_); }

private:
    std::filesystem::path path_;
    std::error_code ignored_;
};

// Runs `body` in a forked child; its exit code, or -1 when it did not exit.
template <typename Body> int RunInChild(Body body) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(body());
    }
    int status = 0;
    const bool exited = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status);
    return exited ? WEXITSTATUS(status) : -1;
}
