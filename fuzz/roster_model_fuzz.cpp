// Checks the roster reader against the model of the rules (rostermodel.h),
// on the input's bytes and on its text saved in every encoding.

#include "rostermodel.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString differs =
        qh::model::compareWithModel(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!differs.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(differs));
        std::abort();
    }
    return 0;
}
