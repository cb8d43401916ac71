#include "UpdateReply.h"

#include <algorithm>

#include "Preferences.h"

const std::string NoConnectionText = "Velmora Version 01.33.00\n\nNo connection to Velmora Internet Services    \n\n"
                                     "Please check your online connection and repeat";
const std::string UpToDateText = "Velmora Version 01.33.00\n\nYour Velmora version is up to date   ";

std::string UpdateRequestPath(int32_t starter)
{
    return "/download/version.vlm?" + std::to_string(starter);
}

bool IsNewerVersion(const std::string &reply, const std::string &current)
{
    // std::string compares char, which may be signed: compare as bytes.
    const size_t n = std::min(reply.size(), current.size());
    for (size_t i = 0; i < n; ++i)
        if (uint8_t(reply[i]) != uint8_t(current[i]))
            return uint8_t(reply[i]) > uint8_t(current[i]);
    return reply.size() > current.size();
}

TUpdateVerdict JudgeUpdateReply(const std::string &body, std::string &version)
{
    version.clear();
    if (body.size() > size_t(MaxUpdateReply))
        return TUpdateVerdict::Failed;
    std::string text = body;
    if (text.ends_with("\r\n"))
        text.resize(text.size() - 2);
    else if (text.ends_with('\n') || text.ends_with('\r'))
        text.pop_back();
    for (char c : text)
        if (!(c == '.' || (c >= '0' && c <= '9')))
            return TUpdateVerdict::Failed;
    version = text;
    return IsNewerVersion(text, VersionString) ? TUpdateVerdict::Newer : TUpdateVerdict::UpToDate;
}
