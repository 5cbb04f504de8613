#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace ravelmoor::test {

// Central European time while the object lives (an hour ahead of UTC in
// winter, two in summer), for this process and the servers it starts: a LIST
// time read as UTC, or an MLSD time read as local, shows.
class ScopedTimeZone {
  public:
    ScopedTimeZone() { Set("CET-1CEST,M3.5.0,M10.5.0/3"); }
    ~ScopedTimeZone() { Set(previous_ ? previous_->c_str() : nullptr); }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    static void Set(const char* zone) {
        zone != nullptr ? ::setenv("TZ", zone, 1) : ::unsetenv("TZ");
        ::tzset();
    }
    std::optional<std::string> previous_ =
        std::getenv("TZ") != nullptr ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

}  // namespace ravelmoor::test
