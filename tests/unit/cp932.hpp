// Code page 932 (Japanese) lead bytes as the system reports them, with a range
// after the terminating pair that must be ignored. "ア" is 0x83 0x41.
#pragma once
#include "platform/paths.hpp"

namespace corvane {
inline constexpr unsigned char kCp932Ranges[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0, 0x40, 0x50, 0, 0, 0, 0};
inline CaseRule WithCp932(const CaseRule& ascii) {
    return {ascii.map, LeadBytesFromRanges(kCp932Ranges, sizeof kCp932Ranges)};
}
}  // namespace corvane
