// Resource ids shared by the resource scripts and the code. The numbers are
// the ones the game's tool has always used; dialogs of different windows reuse
// control numbers, so each window's controls are named under its own prefix.
#pragma once

// ---- Icon and bitmaps --------------------------------------------------------
#define IDI_APP 100
#define IDB_MAIN_BACKGROUND 120
#define IDB_MAIN_BANNER 121
#define IDB_GAMEPAD_BACKGROUND 131

// ---- Main window (dialog 103) --------------------------------------------------
#define IDD_MAIN 103

// ---- Message dialogs (117 Yes/No, 118 OK, 119 Yes/No/Cancel) -----------------
#define IDD_MESSAGE_YESNO 117
#define IDD_MESSAGE_OK 118
#define IDD_MESSAGE_YESNOCANCEL 119
#define IDC_MESSAGE_TEXT 1087

// ---- General settings window (111) and its pages (112, 126, 127, 128) --------

// ---- Gamepad settings window (101) and gamepad test window (102) -------------

// ---- System information window (110) and its pages (122 to 125) --------------
#define IDD_SYSTEM_INFORMATION 110
#define IDD_SYSINFO_SYSTEM_PAGE 122
#define IDD_SYSINFO_INSTALLATION_PAGE 123
#define IDD_SYSINFO_PROCESS_PAGE 124
#define IDD_SYSINFO_APPLICATION_PAGE 125
#define IDC_SYSINFO_TABS 1040
#define IDC_SYSINFO_COPY 1089
