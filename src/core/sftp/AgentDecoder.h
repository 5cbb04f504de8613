#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/sftp/AgentProtocol.h"

namespace ravelmoor {

// Cuts the agent stream (AgentProtocol.h) into its greeting and frames as
// bytes arrive. It never trusts a length it has not checked: a frame longer
// than kAgentMaxPayload, a varint longer than ten bytes or a greeting that
// does not start with kAgentMagic makes the stream bad for good, with the
// reason in Problem().
class AgentDecoder {
  public:
    enum class Step {
        Done,  // a greeting or frame was taken
        More,  // the bytes so far do not hold a whole one yet
        Bad,   // the stream is not the agent's; Problem() says why
    };

    // Adds bytes that came in. Invalidates the payload of the last frame.
    void Feed(std::string_view bytes);
    // Takes the greeting; first, and only once.
    Step Greeting(uint64_t& version);
    // Takes the next frame; its payload lives until the next Feed or Next.
    Step Next(AgentFrame& type, std::string_view& payload);

    // Reads a varint at `at` in `bytes`, moving `at` past it. More when the
    // bytes end inside it, Bad when it runs past ten bytes.
    static Step ReadVarint(std::string_view bytes, size_t& at, uint64_t& value);

    const std::string& Problem() const { return problem_; }
    // Bytes taken in but not yet handed out.
    size_t Pending() const { return buffer_.size() - start_; }

  private:
    Step Fail(std::string why);

    std::string buffer_;
    size_t start_ = 0;
    std::string problem_;
};

}  // namespace ravelmoor
