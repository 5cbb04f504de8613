#include "support/RunProgram.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <cstdlib>

namespace ravelmoor::test {

ProgramResult RunRavelmoor(const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& environment,
                           const std::string& input) {
    const char* binary = std::getenv("RAVELMOOR_BINARY");
    EXPECT_NE(binary, nullptr) << "RAVELMOOR_BINARY is not set (run the tests through ctest)";
    ProgramResult result;
    if (binary == nullptr) return result;

    QProcess process;
    QStringList arguments;
    for (const auto& arg : args)
        arguments << QString::fromUtf8(arg.c_str());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment) {
        env.insert(QString::fromUtf8(name.c_str()), QString::fromUtf8(value.c_str()));
    }
    process.setProcessEnvironment(env);
    process.start(QString::fromUtf8(binary), arguments);
    if (!process.waitForStarted()) return result;
    if (!input.empty()) process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    process.waitForFinished(120000);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

}  // namespace ravelmoor::test
