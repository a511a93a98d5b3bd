// The INI-style atom-property file of any content, read for a section its
// first line names and for a fixed one.
#include <string>

#include "core/atom_type.h"
#include "core/ini_file.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteInput(data, size, "atom.ini");
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string first = text.substr(0, text.find('\n'));
    const std::string section = first.size() > 2 && first[0] == '[' ? first.substr(1, first.find(']') - 1) : "Si";
    for (const std::string& name : {section, std::string("Si")}) {
        CAtomType type;
        type.ReadAtomProperty(name, path);
    }
    GetPrivateProfileText(section, "", "none", path);
    return 0;
}
