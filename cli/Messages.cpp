#include "Messages.h"

#include "RecordingWriter.h"
#include "SettingsLocation.h"

#include <clocale>
#include <cstring>
#include <libintl.h>
#include <locale.h>

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

// The program's own Polish words where the catalogue speaks Polish, the C library's English
// otherwise: its texts would follow the locale, not the catalogue, and mix two languages.
std::string ErrnoText(int error) {
    // TRANSLATORS: the language code of this catalogue, which decides the system errors' wording.
    if (std::strcmp(Tr("en"), "pl") == 0)
        return WriteErrorText(error);
    const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t(0));
    std::string text = english ? strerror_l(error, english) : "error " + std::to_string(error);
    if (english)
        freelocale(english);
    return text;
}
