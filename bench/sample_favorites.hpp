// A Favorites file of `count` invented but plausible favorites, the same for
// every benchmark that reads or writes one.
#pragma once

#include <string>

namespace corvane::bench {

inline std::string SampleFavorites(int count) {
    std::string out;
    out.reserve(static_cast<std::size_t>(count) * 96);
    for (int i = 0; i < count; ++i) {
        const int code = i % 3;
        const std::string n = std::to_string(i);
        const std::string folder = "c:\\program files\\vendor " + n + "\\tool";
        out += "Tool number " + n + (code == 2 ? " on Default" : " on CPU " + std::to_string(code)) + "\r\n";
        out += std::to_string(code) + "__" + folder + "\\tool" + n + ".exe\r\n";
        out += folder + "\r\n";
        out += (i % 2 ? "-profile " + n + " -windowed" : std::string("None")) + "\r\n";
    }
    return out;
}

}  // namespace corvane::bench
