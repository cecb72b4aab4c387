#pragma once

// Numbers of the program's resources, shared by the resource script and the code.
#define IDI_VINTREL 1
#define IDB_PING 101
#define IDB_DATETIME 102
#define IDB_README 103
#define IDB_WEB 104
#define IDB_ABOUT 105
#define IDB_OK 106
#define IDB_CANCEL 107
#define IDB_LOGO 108
