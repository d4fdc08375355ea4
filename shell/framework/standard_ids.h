#pragma once
// Command and control ids that the framework itself defines.
#include <cstdint>

namespace aequa::fw {

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

inline constexpr uint32_t ID_APP_ABOUT = 57664;
inline constexpr uint32_t ID_APP_EXIT = 57665;
inline constexpr uint32_t ID_HELP_FINDER = 57667;
inline constexpr uint32_t ID_CONTEXT_HELP = 57669;
inline constexpr uint32_t ID_HELP = 57670;

// Message box styles.
inline constexpr unsigned MB_OK = 0;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;

// Show commands.
enum class ShowCommand { Hide, Normal, Minimise, Restore };

// Size types passed to OnSize.
enum class SizeType { Restored, Minimised };

}  // namespace aequa::fw
