#pragma once

#include <string>

namespace ravelmoor {

// What a failed libcurl call (`code`, with libcurl's own words `curlText`)
// says to the user. libcurl's texts are English only: where a translation is
// installed, the failures an FTP side meets are said in the user's language
// instead; otherwise libcurl's text, which names more detail.
std::string FtpFailureText(int code, const char* curlText);

}  // namespace ravelmoor
