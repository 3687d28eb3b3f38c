// The version of Vistrel, as the about window and the files it writes name it.
#pragma once

inline constexpr const char *VistrelVersion = "1.0";
