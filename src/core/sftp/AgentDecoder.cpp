#include "core/sftp/AgentDecoder.h"

namespace ravelmoor {

void AgentDecoder::Feed(std::string_view bytes) {
    // What has been handed out is dropped once it outweighs what is left.
    if (start_ > 0 && start_ >= buffer_.size() - start_) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    buffer_.append(bytes);
}

AgentDecoder::Step AgentDecoder::ReadVarint(std::string_view bytes, size_t& at, uint64_t& value) {
    value = 0;
    for (size_t k = 0; k < 10; ++k) {
        if (at + k >= bytes.size()) return Step::More;
        const auto byte = static_cast<uint8_t>(bytes[at + k]);
        if (k == 9 && byte > 1) return Step::Bad;
        value |= static_cast<uint64_t>(byte & 0x7F) << (7 * k);
        if ((byte & 0x80) == 0) {
            at += k + 1;
            return Step::Done;
        }
    }
    return Step::Bad;
}

AgentDecoder::Step AgentDecoder::Fail(std::string why) {
    if (problem_.empty()) problem_ = std::move(why);
    return Step::Bad;
}

AgentDecoder::Step AgentDecoder::Greeting(uint64_t& version) {
    if (!problem_.empty()) return Step::Bad;
    const std::string_view held = std::string_view(buffer_).substr(start_);
    const size_t compared = std::min(held.size(), kAgentMagic.size());
    if (held.substr(0, compared) != kAgentMagic.substr(0, compared)) {
        return Fail("it did not greet as a ravelmoor agent");
    }
    if (held.size() < kAgentMagic.size()) return Step::More;
    size_t at = kAgentMagic.size();
    const Step step = ReadVarint(held, at, version);
    if (step == Step::Bad) return Fail("its greeting holds a malformed version");
    if (step == Step::Done) start_ += at;
    return step;
}

AgentDecoder::Step AgentDecoder::Next(AgentFrame& type, std::string_view& payload) {
    if (!problem_.empty()) return Step::Bad;
    const std::string_view held = std::string_view(buffer_).substr(start_);
    if (held.empty()) return Step::More;
    size_t at = 1;
    uint64_t length = 0;
    const Step step = ReadVarint(held, at, length);
    if (step == Step::Bad) return Fail("a frame's length is malformed");
    if (step == Step::More) return Step::More;
    if (length > kAgentMaxPayload) {
        return Fail("a frame claims " + std::to_string(length) + " bytes");
    }
    if (held.size() - at < length) return Step::More;
    type = static_cast<AgentFrame>(held[0]);
    payload = held.substr(at, length);
    start_ += at + length;
    return Step::Done;
}

}  // namespace ravelmoor
