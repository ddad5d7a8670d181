#pragma once

// Resource ids shared by the .rc file and the code (plain macros: windres reads this file too).

#define IDI_QUORVEL 1

#define IDJ_WEB 101
#define IDJ_CREATE_BATCH 102
#define IDJ_QUIT 103
#define IDJ_ABOUT 104
#define IDJ_PORTRAIT 105

// JPEG pictures are stored as RCDATA.
