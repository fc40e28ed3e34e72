#include "cipher/level_b_tables.h"

const TLevelBKeyTables& LevelBKeyTableData()
{
    // Drawn once at random from ASCII letters and digits. Never edit: stored files depend on them.
    static const TLevelBKeyTables tables = {{
        {"Ubuk", "L5iQ", "fZKU", "PITT", "4pkx", "9Yqo", "ARqq", "0jT2", "Yq13", "pqdK"},
        {"Ogwz", "wlxT", "HKfG", "t3Aa", "mjrG", "8pkl", "ydjx", "DAps", "y2Ho", "Sdoi"},
        {"ruiP", "qYsL", "vonf", "Gsst", "opfG", "JSlk", "oHRE", "ojHS", "0CmA", "Yxsw"},
    }};
    return tables;
}
