#include "core/app_state.h"

TAppState AppState;

void SetStateDefaults(TAppState& state, const TLevelBKeyTables& levelBTables)
{
    state.ProductName = std::string(kProductName);
    state.Version = std::string(kVersion);
    state.AppTitle = state.ProductName + " " + state.Version;
    state.TypeSize = kDefaultTypeSize;
    state.FindPos = 0;
    state.FindNext = 0;
    state.SettingsFile = "plimo.dat";
    state.LevelBKeyTables = levelBTables;
    state.LevelAPwd = std::string(kFactoryLevelAPwd);
    state.LevelCPwd = "Hq3VpxLr7koN";
    state.FileName = std::string(kUntitled);
    state.FileExt = "txt";
    state.FindToggle = state.RepToggle = state.EncToggle = true;
    state.DecToggle = state.TypeToggle = state.LAToggle = state.GoToggle = true;
    state.HasFile = false;
}
