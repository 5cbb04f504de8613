#pragma once

#include <string>
#include <utility>

namespace ravelmoor {

// What became of one operation, as a value: a status and, in words, the
// reason. Every status enumeration used here lists its success first (the
// value 0), so that a default outcome is a success. The file systems return
// these for their changes; the launch checks, the settings files and the
// command line's options use the same shape, each with its own statuses, and
// leave it to the caller how to show the reason.
template <class Status>
struct Outcome {
    Outcome() = default;
    explicit Outcome(Status newStatus, std::string why = {})
        : status(newStatus), reason(std::move(why)) {}

    Status status{};
    // In words: why it did not work, or what to tell of a success (mostly
    // nothing).
    std::string reason;

    bool Ok() const { return status == Status{}; }
};

// An outcome that carries what the operation made (a connection, a list):
// the value is there when the outcome is Ok, and empty otherwise. The
// opener, the reader or the store returns it and leaves it to the caller
// whether and how to tell the reason.
template <class Status, class Value>
struct Result : Outcome<Status> {
    Result() = default;
    explicit Result(Value made) : value(std::move(made)) {}
    explicit Result(Status newStatus, std::string why = {})
        : Outcome<Status>(newStatus, std::move(why)) {}
    // From a result whose value converts to this one's (a derived class's
    // pointer to its base's).
    template <class Other>
    Result(Result<Status, Other>&& other)  // NOLINT(google-explicit-constructor)
        : Outcome<Status>(other.status, std::move(other.reason)), value(std::move(other.value)) {}

    Value value{};
};

}  // namespace ravelmoor
