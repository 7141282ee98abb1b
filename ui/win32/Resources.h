#pragma once

// Resource identifiers of the module (Zanterpoint.rc).
#define ZP_IDI_MAIN 1  // the windows' 16 by 16, 16-colour icon
