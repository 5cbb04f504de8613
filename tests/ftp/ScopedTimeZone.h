#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace ravelmoor::test {

// Central European time while the object lives (an hour ahead of UTC in
// winter, two in summer), for this process and the servers it starts: a LIST
// time read as UTC, or an MLSD time read as local, shows.
class ScopedTimeZone {
  public:
    static constexpr int64_t kWinterOffset = 3600;
    static constexpr int64_t kSummerOffset = 7200;

    ScopedTimeZone() {
        if (const char* tz = std::getenv("TZ")) {
            previous_ = tz;
            hadPrevious_ = true;
        }
        ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (hadPrevious_) {
            ::setenv("TZ", previous_.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    std::string previous_;
    bool hadPrevious_ = false;
};

}  // namespace ravelmoor::test
