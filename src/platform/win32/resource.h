// Resource ids of tessaly.exe; shared by the resource script and the code.
#pragma once

// Icon 1 is the first icon of the file, which the file browser shows.
#define IDI_PAUSED 1
#define IDI_RUNNING 2

// Button pictures: base id + 0, 1, 2 for 100, 150 and 200 percent.
#define IDB_START 200
#define IDB_STOP 210
#define IDB_CREATE 220
#define IDB_HELP 230
