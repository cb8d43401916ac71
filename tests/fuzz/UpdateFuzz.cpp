// Any bytes as the update server's reply: either the check failed and no
// version is taken, or the version is the reply without one line end, digits
// and dots only, and it is newer exactly when it compares greater.
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "shell/Preferences.h"
#include "shell/UpdateReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string body(reinterpret_cast<const char *>(data), size);
    std::string version = "stale";
    const TUpdateVerdict verdict = JudgeUpdateReply(body, version);
    if (verdict == TUpdateVerdict::Failed) {
        Check(version.empty());
        return 0;
    }
    Check(body.size() <= size_t(MaxUpdateReply));
    Check(version.find_first_not_of("0123456789.") == std::string::npos);
    Check(body == version || body == version + "\n" || body == version + "\r" || body == version + "\r\n");
    const bool newer = IsNewerVersion(version, VersionString);
    Check((verdict == TUpdateVerdict::Newer) == newer);
    Check(!(newer && IsNewerVersion(VersionString, version)));
    Check(newer || version == VersionString || IsNewerVersion(VersionString, version));
    return 0;
}
