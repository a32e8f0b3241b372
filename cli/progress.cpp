#include "cli/progress.h"

namespace dravik::cli {

void ProgressLine::show(std::size_t done, std::size_t total) {
    if (!shown_)
        return;
    const std::string text =
        "library add: " + std::to_string(done) + " of " + std::to_string(total) + " drive folders";
    // A shorter text leaves no end of the longer one behind.
    const std::string padding(width_ > text.size() ? width_ - text.size() : 0, ' ');
    std::fputs(("\r" + text + padding).c_str(), stream_);
    std::fflush(stream_);
    width_ = text.size();
}

void ProgressLine::clear() {
    if (!shown_ || width_ == 0)
        return;
    std::fputs(("\r" + std::string(width_, ' ') + "\r").c_str(), stream_);
    std::fflush(stream_);
    width_ = 0;
}

} // namespace dravik::cli
