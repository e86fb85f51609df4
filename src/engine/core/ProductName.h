#pragma once
// The product's own name: the caption of its message boxes and, with the vendor's, the
// registry key it keeps its values under.
inline constexpr const char* kCompanyKey = "Vellomar";
inline constexpr const char* kApplicationName = "Purgix!";
