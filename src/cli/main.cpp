#include <string>
#include <vector>

#include "cli/cipher_command.h"

int main(int argc, char** argv)
{
    return RunCipherCommand(std::vector<std::string>(argv + 1, argv + argc), StandardCipherIo());
}
