// The automation channel's requests and answers (the protocol is described
// at the top of AutomationServer.cpp). Transport-free, so it reads alone.
#pragma once

#include <string>

namespace cefimpl {

class AutomationProtocol {
public:
    // The answer to one request line (without its line end): one line, or
    // for "records" several, each ended by "\n".
    static std::string Answer(const std::string& request);

    // Text arguments and fields: "=" then WTF-8, percent-encoded.
    static std::string EncodeText(const std::u16string& text);
    // False for a token that is not "=" followed by well-formed escapes.
    static bool DecodeText(const std::string& token, std::u16string& text);
};

}  // namespace cefimpl
