#include <string>
#include <vector>

#include "cli/cipher_command.h"
#include "core/core_dumps.h"

int main(int argc, char** argv)
{
    TurnOffCoreDumps();
    return RunCipherCommand(std::vector<std::string>(argv + 1, argv + argc), StandardCipherIo());
}
