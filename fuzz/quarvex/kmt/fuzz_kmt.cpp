// Feeds arbitrary bytes to the graph template reader, as a ternary (six
// fields a segment) and as an XY template (four), and places the ternary
// segments it accepts on the frame.
#include <unistd.h>

#include <fstream>
#include <string>

#include "quarvex/graphcore/kmt_template.h"

using namespace graphcore;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fuzz_kmt_" + std::to_string(getpid()) + ".kmt";
    {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    for (int fields : {kTernaryTemplateFields, kXYTemplateFields}) {
        const TemplateReadResult r = ReadTemplateFile(path, fields);
        if (r.status != TemplateReadStatus::Ok || fields != kTernaryTemplateFields) continue;
        for (const TemplateSegment& s : r.segments) {
            (void)TernaryTemplatePoint(s.fields[0], s.fields[1], s.fields[2]);
            (void)TernaryTemplatePoint(s.fields[3], s.fields[4], s.fields[5]);
        }
    }
    return 0;
}
