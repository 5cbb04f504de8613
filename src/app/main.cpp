#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    return ravelmoor::RunCommandLine(argc, argv);
}
