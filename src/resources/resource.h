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
#define IDC_MAIN_GAMEPAD 1018
#define IDC_MAIN_GENERAL 1019
#define IDC_MAIN_SYSTEM_INFORMATION 1020
#define IDC_MAIN_LANGUAGE_LABEL 1038
#define IDC_MAIN_LANGUAGE 1039

// ---- Message dialogs (117 Yes/No, 118 OK, 119 Yes/No/Cancel) -----------------
#define IDD_MESSAGE_YESNO 117
#define IDD_MESSAGE_OK 118
#define IDD_MESSAGE_YESNOCANCEL 119
#define IDC_MESSAGE_TEXT 1087

// ---- General settings window (111) and its pages (112, 126, 127, 128) --------

// ---- Gamepad settings window (101) and gamepad test window (102) -------------
#define IDD_GAMEPAD 101
#define IDC_GAMEPAD_ACTIVE_LABEL 1069
#define IDC_GAMEPAD_DEVICE 1018
#define IDC_GAMEPAD_MENU_BOX 1111
#define IDC_GAMEPAD_MENU_TITLE 1071
#define IDC_GAMEPAD_MOVEMENT_BOX 1114
#define IDC_GAMEPAD_MOVEMENT_TITLE 1070
#define IDC_GAMEPAD_CAMERA_BOX 1112
#define IDC_GAMEPAD_CAMERA_TITLE 1072
#define IDC_GAMEPAD_OTHER_BOX 1113
#define IDC_GAMEPAD_OTHER_TITLE 1073
// The 24 assignment boxes in row order (there is no 1045).
#define IDC_GAMEPAD_MENU_UP 1044
#define IDC_GAMEPAD_MENU_DOWN 1046
#define IDC_GAMEPAD_MENU_LEFT 1047
#define IDC_GAMEPAD_MENU_RIGHT 1048
#define IDC_GAMEPAD_MOVEMENT_UP 1049
#define IDC_GAMEPAD_MOVEMENT_DOWN 1050
#define IDC_GAMEPAD_MOVEMENT_LEFT 1051
#define IDC_GAMEPAD_MOVEMENT_RIGHT 1052
#define IDC_GAMEPAD_CAMERA_UP 1053
#define IDC_GAMEPAD_CAMERA_DOWN 1054
#define IDC_GAMEPAD_CAMERA_LEFT 1055
#define IDC_GAMEPAD_CAMERA_RIGHT 1056
#define IDC_GAMEPAD_ACTION_MENU 1057
#define IDC_GAMEPAD_CONFIRM 1058
#define IDC_GAMEPAD_CANCEL 1059
#define IDC_GAMEPAD_MAIN_MENU 1060
#define IDC_GAMEPAD_AUTORUN 1061
#define IDC_GAMEPAD_CHAT 1062
#define IDC_GAMEPAD_TARGET_LOCK 1063
#define IDC_GAMEPAD_MODE 1064
#define IDC_GAMEPAD_EMOTES 1065
#define IDC_GAMEPAD_VIEW 1066
#define IDC_GAMEPAD_MAP 1067
#define IDC_GAMEPAD_STATUS 1068
// Function names of rows 12..23.
#define IDC_GAMEPAD_ACTION_MENU_LABEL 1074
#define IDC_GAMEPAD_CONFIRM_LABEL 1075
#define IDC_GAMEPAD_CANCEL_LABEL 1076
#define IDC_GAMEPAD_MAIN_MENU_LABEL 1077
#define IDC_GAMEPAD_AUTORUN_LABEL 1078
#define IDC_GAMEPAD_CHAT_LABEL 1079
#define IDC_GAMEPAD_TARGET_LOCK_LABEL 1080
#define IDC_GAMEPAD_MODE_LABEL 1081
#define IDC_GAMEPAD_EMOTES_LABEL 1082
#define IDC_GAMEPAD_VIEW_LABEL 1083
#define IDC_GAMEPAD_MAP_LABEL 1084
#define IDC_GAMEPAD_STATUS_LABEL 1085
#define IDC_GAMEPAD_CALIBRATION_LABEL 1086
#define IDC_GAMEPAD_CALIBRATION 1019
#define IDC_GAMEPAD_VIBRATION 1038
#define IDC_GAMEPAD_BACKGROUND 1037
#define IDC_GAMEPAD_TEST 1017

#define IDD_GAMEPAD_TEST 102
#define IDC_PADTEST_MENU_PANEL 1021
#define IDC_PADTEST_MENU_LABEL 1045
#define IDC_PADTEST_MOVEMENT_PANEL 1022
#define IDC_PADTEST_MOVEMENT_LABEL 1046
#define IDC_PADTEST_CAMERA_PANEL 1023
#define IDC_PADTEST_CAMERA_LABEL 1047

// ---- System information window (110) and its pages (122 to 125) --------------
