#include "core/engine/ScanFolder.h"

#include "core/engine/TreeScan.h"

namespace ravelmoor {

ScanResult ScanFolder(FileSystem& fs, FileList& list, const std::string& folder,
                      const ScanOptions& options) {
    TreeScan scan;
    scan.Add(fs, list, folder, options, false);
    return scan.Run(1).front();
}

}  // namespace ravelmoor
