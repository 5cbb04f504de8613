#pragma once

#include <cstdio>
#include <string>

namespace ravelmoor {

// A JSON document written out as it is made: the text gathers in a buffer
// that goes to the file whenever it holds 64 KiB, so that a document of a
// million rows takes no more memory than one of ten.
class JsonStream {
  public:
    explicit JsonStream(FILE* out) : out_(out) {}
    JsonStream(const JsonStream&) = delete;
    JsonStream& operator=(const JsonStream&) = delete;

    // The document's next text is appended here (AppendJsonString and the
    // other helpers of JsonOutput.h write into it).
    std::string& Text() { return text_; }
    // Writes what has gathered once there is enough of it; called between
    // the elements of a long array.
    void Pass() {
        if (text_.size() >= kChunk) Write();
    }
    // Writes the rest and the line end after the document.
    void End() {
        text_.push_back('\n');
        Write();
    }

  private:
    static constexpr size_t kChunk = size_t{64} * 1024;

    void Write() {
        std::fwrite(text_.data(), 1, text_.size(), out_);
        text_.clear();
    }

    FILE* out_;
    std::string text_;
};

}  // namespace ravelmoor
