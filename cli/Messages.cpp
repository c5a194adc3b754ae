#include "Messages.h"

#include "RecordingWriter.h"
#include "SettingsLocation.h"

#include <cstring>
#include <libintl.h>

namespace {

constexpr const char* Domain = "drganik-rec";

} // namespace

void SetUpMessages(const std::string& programDir) {
    const std::string folder =
        IsInstalledProgram(programDir) ? programDir + "/../share/locale" : programDir + "/locale";
    bindtextdomain(Domain, folder.c_str());
    bind_textdomain_codeset(Domain, "UTF-8");
}

const char* Tr(const char* message) {
    return dgettext(Domain, message);
}

// The program's own Polish words where the catalogue speaks Polish, the system's English
// otherwise (the C library's texts would follow the locale, not the catalogue).
std::string ErrnoText(int error) {
    // TRANSLATORS: the language code of this catalogue, which decides the system errors' wording.
    if (std::strcmp(Tr("en"), "pl") == 0)
        return WriteErrorText(error);
    char text[256];
    return strerror_r(error, text, sizeof text);
}
