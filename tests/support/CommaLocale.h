// Puts the process under a decimal-comma locale for one test, as a desktop
// session in Germany does, and restores the previous locale after.
#pragma once

#include <clocale>
#include <string>

class CommaLocale {
public:
    CommaLocale() : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    // False where the locale is not installed (the set-up script makes it).
    bool Active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};
