#include "engine/FileSystem.h"

#include <cstdio>
#include <random>

namespace ravelmoor {
namespace {

WriteOutcome NotWritable() {
    return WriteOutcome(WriteStatus::Failed, "this side can not be written to");
}

}  // namespace

std::string TemporaryName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    char text[40];
    std::snprintf(text, sizeof text, ".ravelmoor-%016llx.part",
                  static_cast<unsigned long long>(random()));
    return text;
}

WriteOutcome FileSystem::CopyIn(FileSystem& /*from*/, const std::string& /*fromPath*/,
                                const std::string& /*root*/, std::string_view /*relative*/,
                                const CopyControl& /*control*/) {
    return NotWritable();
}

WriteOutcome FileSystem::MakeFolder(const std::string& /*root*/, std::string_view /*relative*/) {
    return NotWritable();
}

WriteOutcome FileSystem::RemoveFolder(const std::string& /*root*/, std::string_view /*relative*/) {
    return NotWritable();
}

WriteOutcome FileSystem::MoveToTrash(const std::string& /*root*/, std::string_view /*relative*/) {
    return NotWritable();
}

WriteOutcome FileSystem::DeletePermanently(const std::string& /*root*/,
                                           std::string_view /*relative*/) {
    return NotWritable();
}

}  // namespace ravelmoor
