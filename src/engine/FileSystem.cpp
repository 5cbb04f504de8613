#include "engine/FileSystem.h"

namespace ravelmoor {
namespace {

WriteOutcome NotWritable() {
    return WriteOutcome(WriteStatus::Failed, "this side can not be written to");
}

}  // namespace

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
