#pragma once
// Build settings that the program's messages show.

namespace aequa {

// The coordinator's e-mail address, named in every "Please send" message.
const char* CoordinatorEmail();

// The program's version, as "aequa --version" prints it.
const char* VersionText();

}  // namespace aequa
