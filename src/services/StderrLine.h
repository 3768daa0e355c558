// One line on standard error, for what the client refuses on its own
// (a windowed process shows it only where its output is kept).
#pragma once

#include <cstdio>
#include <string>

inline void StderrLine(const std::string& utf8) {
    std::fputs((utf8 + "\n").c_str(), stderr);
    std::fflush(stderr);
}
