// What the update server's reply means: the request for the newest version
// number and the comparison with this program's version text.
#pragma once

#include <cstdint>
#include <string>

// Path of the request: the start counter follows the question mark.
std::string UpdateRequestPath(int32_t starter);

// Larger replies are no version text: the request counts as failed.
constexpr int MaxUpdateReply = 256;

enum class TUpdateVerdict {
    Failed,    // no usable reply: not a version text
    UpToDate,  // the reply is not newer than VersionString
    Newer,     // the server offers a newer version
};

// Judges a reply body. A version text is digits and dots once one line end
// at its end is cut; anything else (an error page of a proxy, say) counts
// as a failed request. `version` receives the text without the line end.
TUpdateVerdict JudgeUpdateReply(const std::string &body, std::string &version);

// Whether `reply` is greater than `current` compared character by character
// by code; of two texts with an equal beginning the longer is greater.
bool IsNewerVersion(const std::string &reply, const std::string &current);

// Message texts of the manual check.
inline constexpr const char *UpdateTitle = "Check For Updates";
extern const std::string NoConnectionText;
extern const std::string UpToDateText;
