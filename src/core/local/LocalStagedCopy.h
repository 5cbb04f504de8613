#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "core/engine/FdGuard.h"
#include "core/engine/FileSystem.h"

namespace ravelmoor {

// A local file copy written and checked under its temporary name in the
// destination's folder, its writeback started, waiting for its group's flush
// (LocalFolderWriter::CommitCopies). Until it is renamed into place the
// temporary file is removed when the object goes.
class LocalStagedCopy : public StagedCopy {
  public:
    LocalStagedCopy(FdGuard folder, std::string name, bool replacing, CopyControl control)
        : folder_(std::move(folder)),
          name_(std::move(name)),
          replacing_(replacing),
          control_(std::move(control)) {}
    LocalStagedCopy(const LocalStagedCopy&) = delete;
    LocalStagedCopy& operator=(const LocalStagedCopy&) = delete;
    ~LocalStagedCopy() override { Discard(); }

    uint64_t Bytes() const override { return bytes_; }

    int Folder() const { return folder_.get(); }
    const std::string& Name() const { return name_; }
    bool Replacing() const { return replacing_; }
    const CopyControl& Control() const { return control_; }
    // The open temporary file, until Close.
    FdGuard& Out() { return out_; }
    const std::string& TemporaryName() const { return temporary_; }
    void SetTemporary(std::string name, FdGuard out) {
        temporary_ = std::move(name);
        out_ = std::move(out);
    }
    void SetBytes(uint64_t bytes) { bytes_ = bytes; }
    void SetDevice(dev_t device) { device_ = device; }
    dev_t Device() const { return device_; }

    // What was at the destination when the copy began (a replacement).
    void SetReplaced(const struct stat& replaced) { replaced_ = replaced; }

    // Closes the temporary file; false (errno set) on a late write error.
    bool Close() { return out_.get() < 0 || ::close(out_.release()) == 0; }
    // Renames the temporary file to the destination's name, replacing
    // nothing: the name is free, or its old object has been set aside.
    bool RenameIntoPlace();
    // Puts the copy in place of the destination that was there when the copy
    // began, which is not kept. One that changed meanwhile (another object,
    // size, times) is not lost: it goes to the trash, `keptTo` naming where;
    // where no trash takes it, the copy is not put in place and the outcome
    // says why. The two are swapped in one step where the file system can,
    // so the check sees the very object that left.
    WriteOutcome ReplaceUnlessChanged(const std::atomic<int32_t>* cancel);
    // Removes the temporary file, if it is still there.
    void Discard();

  private:
    FdGuard folder_;
    std::string name_;
    bool replacing_;
    CopyControl control_;
    FdGuard out_;
    std::string temporary_;
    uint64_t bytes_ = 0;
    dev_t device_ = 0;
    struct stat replaced_ {};
};

}  // namespace ravelmoor
