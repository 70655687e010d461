// Version information of the program.
#pragma once

inline constexpr const char* kProductName = "Tamrel";
inline constexpr const char* kCompanyName = "ruma-SELVO";
inline constexpr const char* kFileVersion = "1.0.1.2";
inline constexpr const char* kCopyright = "Copyright (C) 2026 ruma-SELVO";
