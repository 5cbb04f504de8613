#include "support/ServerCommandLine.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>

namespace ravelmoor::test {

std::string RelativeToLogon(const std::string& path) {
    const passwd* me = ::getpwuid(::getuid());
    std::string start = me != nullptr ? me->pw_dir : "/";
    if (!std::filesystem::is_directory(start)) start = "/";
    return std::filesystem::relative(path, std::filesystem::canonical(start)).string();
}

CommandLine::CommandLine(const std::vector<std::string>& flags)
    : ftp(std::make_unique<FtpTestServer>(served.Path(), "", "", flags)) {
    Add({"ftp", "add", "--server", ftp->Server(), "--dir", "/"}, "(ftp) " + ftp->Server() + "/");
}

CommandLine::CommandLine(const SftpConnection& connection, bool relative, const std::string& name) {
    std::vector<std::string> args = {
        "sftp",       "add",
        "--server",   connection.host + ":" + std::to_string(connection.port),
        "--user",     connection.user,
        "--identity", connection.keyFile,
        "--dir",      relative ? RelativeToLogon(served.Path()) : served.Path(),
        "--name",     name};
    if (!connection.agentPath.empty()) {
        args.emplace_back("--agent-path");
        args.push_back(connection.agentPath);
    }
    Add(args, "(sftp) " + name);
}

ProgramResult CommandLine::Run(std::vector<std::string> args, bool serverIsTarget) {
    args.push_back(serverIsTarget ? local.Path() : side);
    args.push_back(serverIsTarget ? side : local.Path());
    return RunRavelmoor(args, environment);
}

void CommandLine::Add(const std::vector<std::string>& args, std::string name) {
    environment = home.Environment();
    environment["XDG_DATA_HOME"] = trash.Path();
    environment["XDG_STATE_HOME"] = trash.Full("state");
    // Locks of its own: rows running side by side lock "(sftp) box" too.
    environment["XDG_RUNTIME_DIR"] = trash.Path();
    added = RunRavelmoor(args, environment);
    side = std::move(name);
}

}  // namespace ravelmoor::test
