#pragma once
// The command line's messages through gettext (domain "drganik-rec"): English in
// the program, Polish from its catalogue under a Polish locale.

#include <string>

// Binds the catalogue: beside an installed program in <prefix>/share/locale, else the build's own.
void SetUpMessages(const std::string& programDir);
// The message in the user's language.
const char* Tr(const char* message);
// A system error's text in the same language as the other messages.
std::string ErrnoText(int error);
