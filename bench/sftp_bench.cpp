// Lists a tree, and with --crc sums every file of it, the way a comparison
// does: locally, over plain SFTP or through the listing agent on the server.
// Run by bench/sftp_bench.py, which starts the sshd it talks to.
//
//   sftp_bench local DIR [--crc]
//   sftp_bench sftp|agent DIR --port P --key FILE [--agent PATH] [--crc] [--local DIR2]
//
// --local DIR2 also lists and sums DIR2 on this machine, as the other side of
// a content comparison. Prints the entries and the files summed.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/engine/Checksum.h"
#include "core/engine/FileList.h"
#include "core/engine/Prompter.h"
#include "core/engine/ScanFolder.h"
#include "core/local/LocalFileSystem.h"
#include "core/sftp/SftpFileSystem.h"
#include "core/sftp/SftpOpener.h"

using namespace ravelmoor;

namespace {

class StderrPrompter : public Prompter {
  public:
    void Inform(std::string_view text) override { Say(text); }
    void Warn(std::string_view text) override { Say(text); }
    bool AskOkCancel(std::string_view text) override { return Say(text); }
    bool AskYesNo(std::string_view text) override { return Say(text); }

  private:
    static bool Say(std::string_view text) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
        return true;
    }
};

// Lists `root` recursively, then sums its files in batches as PairReaders does.
bool Run(FileSystem& fs, const std::string& root, bool crc, size_t& entries, size_t& summed) {
    FileList list;
    ScanOptions options;
    options.includeSubFolders = true;
    const ScanResult scanned = ScanFolder(fs, list, root, options);
    if (!scanned.ok) return false;
    entries += list.GetSize();
    if (!crc) return true;
    std::vector<FileEntry> files;
    for (size_t i = 0; i < list.GetSize(); ++i) {
        FileEntry entry = list.ElementAt(i);
        if (!entry.IsFolder()) files.push_back(entry);
    }
    constexpr size_t kBatch = 256;
    std::vector<const FileEntry*> batch;
    for (size_t start = 0; start < files.size(); start += kBatch) {
        batch.clear();
        const size_t end = std::min(files.size(), start + kBatch);
        for (size_t i = start; i < end; ++i)
            batch.push_back(&files[i]);
        fs.ExpectSums(batch, root, 0);
        for (size_t i = start; i < end; ++i) {
            if (!ComputeChecksum(files[i], fs, root, 0, nullptr, nullptr)) return false;
            ++summed;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: sftp_bench local|sftp|agent DIR [options]\n");
        return 2;
    }
    const std::string mode = argv[1];
    std::string root = argv[2];
    if (root.back() != '/') root += '/';
    SftpConnection connection;
    connection.host = "127.0.0.1";
    connection.directory = root;
    connection.logon = SftpLogon::KeyFile;
    connection.agentPath = "/nonexistent/ravelmoor";
    bool crc = false;
    std::string other;
    for (int i = 3; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--crc") {
            crc = true;
        } else if (i + 1 < argc && word == "--port") {
            connection.port = std::atoi(argv[++i]);
        } else if (i + 1 < argc && word == "--key") {
            connection.keyFile = argv[++i];
        } else if (i + 1 < argc && word == "--agent") {
            connection.agentPath = argv[++i];
        } else if (i + 1 < argc && word == "--local") {
            other = argv[++i];
            if (other.back() != '/') other += '/';
        } else {
            std::fprintf(stderr, "unknown option %s\n", word.c_str());
            return 2;
        }
    }
    size_t entries = 0;
    size_t summed = 0;
    LocalFileSystem local;
    if (!other.empty() && !Run(local, other, crc, entries, summed)) return 1;
    if (mode == "local") {
        if (!Run(local, root, crc, entries, summed)) return 1;
    } else {
        StderrPrompter prompter;
        OpenResult<SftpFileSystem> opened =
            OpenSftpSide(connection, prompter, nullptr, UnknownHostKey::Accept);
        if (!opened.Ok()) {
            std::fprintf(stderr, "%s\n", opened.reason.c_str());
            return 1;
        }
        std::unique_ptr<SftpFileSystem> side = std::move(opened.value);
        if (side->UsesAgent() != (mode == "agent")) {
            std::fprintf(stderr, "the agent was %s\n", side->UsesAgent() ? "used" : "not used");
            return 1;
        }
        if (!Run(*side, root, crc, entries, summed)) return 1;
    }
    std::printf("%zu entries, %zu files summed\n", entries, summed);
    return 0;
}
