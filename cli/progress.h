#pragma once

#include <cstdio>
#include <string>

namespace dravik::cli {

/// One line that tells how far a long run has come, rewritten in place with
/// "\r" and cleared before anything else is written there: for a terminal
/// only, so that files and pipes get none of it.
class ProgressLine {
  public:
    /// A line on stream; shown false makes every call do nothing.
    ProgressLine(std::FILE* stream, bool shown) : stream_(stream), shown_(shown) {}
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    /// Shows done of total in place of what the line showed.
    void show(std::size_t done, std::size_t total);
    /// Blanks the line out and puts the cursor at its start.
    void clear();

  private:
    std::FILE* stream_;
    bool shown_;
    std::size_t width_ = 0;
};

} // namespace dravik::cli
