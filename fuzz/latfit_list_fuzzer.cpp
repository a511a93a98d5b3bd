// latfit's list-directed reader on a file of any content. The first bytes of
// the input choose the reads (text fields, records of integers and reals,
// lines, rewinds); the rest is the file.
#include <string>

#include "fuzz_input.h"
#include "list_reader.h"
#include "run_stop.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t nOps = size < 8 ? size : 8;
    const std::string path = fuzz::WriteInput(data + nOps, size - nOps, "list.dat");
    ListReader reader;
    if (!reader.open(path, "list.dat")) return 0;
    try {
        for (int pass = 0; pass < 4; ++pass) {
            for (size_t i = 0; i < nOps; ++i) {
                std::string line;
                switch (data[i] % 8) {
                    case 0: reader.text(data[i] / 8, "text"); break;
                    case 1: reader.record("integers"); reader.integer(); reader.integer(); break;
                    case 2: reader.record("reals"); reader.real(); reader.real(); reader.real(); break;
                    case 3: reader.real(); break;
                    case 4: reader.integer(); break;
                    case 5: reader.record("empty"); reader.endRecord(); break;
                    case 6: reader.nextLine(line); break;
                    default: reader.rewind(); break;
                }
            }
        }
    } catch (const RunStop&) {
    }
    long long integer;
    double real;
    const std::string_view item(reinterpret_cast<const char*>(data), nOps);
    parseInteger(item, integer);
    parseReal(item, real);
    return 0;
}
