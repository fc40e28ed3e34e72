#pragma once

#include "core/app_state.h"

// LevelBKeyTableData - the thirty fixed 4-character texts Level B joins its keys from; start-up
//     copies them into AppState.LevelBKeyTables through SetStateDefaults.
// A text encrypted at Level B decrypts only under these same tables: they are part of the file
// format and must never change.
const TLevelBKeyTables& LevelBKeyTableData();
