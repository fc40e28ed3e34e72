#include <string>
#include <vector>

#include "cli/cipher_command.h"
#include "core/core_dumps.h"
#include "i18n/translations.h"

int main(int argc, char** argv)
{
    TurnOffCoreDumps();
    LoadTranslations();
    return RunCipherCommand(std::vector<std::string>(argv + 1, argv + argc), StandardCipherIo());
}
