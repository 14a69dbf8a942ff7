// A made-up process list for timing the name lookup: names of several
// lengths, many as long as the one looked for so that the length test alone
// cannot settle most records, some records with id 0, and the wanted name
// once, in other letter case, in the middle.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "launcher/launch_logic.hpp"

namespace corvane::bench {

inline constexpr const char* kWanted = "pin_target.exe";

struct SyntheticList {
    std::vector<std::string> names;      // as the system reports them
    std::vector<std::string> folded;     // the same, lower-cased, for the baseline
    std::vector<ProcessRecord> records;  // views into `names`
    std::uint32_t plantedPid = 0;
};

inline SyntheticList MakeSyntheticList(std::size_t count) {
    SyntheticList list;
    list.names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        char buf[64];
        switch (i % 4) {
        case 0:
            std::snprintf(buf, sizeof buf, "svchost%06zu.exe", i);
            break;
        case 1:
            std::snprintf(buf, sizeof buf, "Game%09zu.exe", i);
            break;
        case 2:
            std::snprintf(buf, sizeof buf, "pin_target%zu.exe", i % 10);
            break;
        default:
            std::snprintf(buf, sizeof buf, "x%zu.exe", i);
            break;
        }
        list.names.emplace_back(buf);
    }
    const std::size_t planted = count / 2 | 1;  // odd: never one of the id-0 records
    list.names[planted] = "PIN_TARGET.EXE";
    list.records.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto pid = static_cast<std::uint32_t>(i % 98 == 0 ? 0 : 4 * (i + 1));
        list.records.push_back({pid, list.names[i]});
        list.folded.push_back(MapCase(list.names[i], AsciiLower()));
    }
    list.plantedPid = list.records[planted].pid;
    return list;
}

}  // namespace corvane::bench
