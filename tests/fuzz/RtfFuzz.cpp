// Any bytes as the rich text of a text box: the reader never fails, the
// writer gives plain ASCII, and what it writes reads back as the same
// document and is written again byte for byte.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/Rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TRtfDocument doc = ReadRtf(std::string_view(reinterpret_cast<const char *>(data), size));
    const std::string out = WriteRtf(doc);
    for (const char c : out)
        if (static_cast<unsigned char>(c) >= 0x80 || (c < 0x20 && c != '\n'))
            std::abort();
    const TRtfDocument again = ReadRtf(out);
    if (!IsRtf(out) || !(again == doc) || WriteRtf(again) != out)
        std::abort();
    return 0;
}
