#pragma once

#include <functional>
#include <optional>

namespace dravik::bench {

/// How far work raises the peak resident memory of a fresh child process
/// above what it held after prepare, in bytes; nullopt when the system does
/// not tell. The child returns its free heap to the system first, so memory
/// that an earlier run left behind does not hide what work needs.
std::optional<long> peakGrowth(const std::function<void()>& prepare,
                               const std::function<void()>& work);

} // namespace dravik::bench
