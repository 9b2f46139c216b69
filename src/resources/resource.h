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
#define IDD_GENERAL_SETTINGS 111
#define IDC_GENERAL_TABS 1040

// Network page (112)
#define IDD_NETWORK_PAGE 112
#define IDC_NETWORK_UPNP 1042
#define IDC_NETWORK_PORT 1044
#define IDC_NETWORK_UPNP_LABEL 1048
#define IDC_NETWORK_PORT_LABEL 1049

// Video page (126)
#define IDD_VIDEO_PAGE 126
#define IDC_VIDEO_DEVICE 1043
#define IDC_VIDEO_DISPLAY_MODE_LABEL 1097
#define IDC_VIDEO_DEVICE_LABEL 1098
#define IDC_VIDEO_DISPLAY_MODE 1099
#define IDC_VIDEO_WINDOW_SIZE 1100
#define IDC_VIDEO_WINDOW_SIZE_LABEL 1101
#define IDC_VIDEO_MULTISAMPLE 1102
#define IDC_VIDEO_MULTISAMPLE_LABEL 1103
#define IDC_VIDEO_BUFFER_SIZE 1104
#define IDC_VIDEO_BUFFER_SIZE_LABEL 1105
#define IDC_VIDEO_SHADOW_DETAIL 1106
#define IDC_VIDEO_SHADOW_DETAIL_LABEL 1107
#define IDC_VIDEO_PROJECTION_SHADOW_DETAIL 1108
#define IDC_VIDEO_PROJECTION_SHADOW_DETAIL_LABEL 1109

// Effects page (127), tab "Graphics"
#define IDD_EFFECTS_PAGE 127
#define IDC_EFFECTS_AMBIENT_OCCLUSION 1102
#define IDC_EFFECTS_DEPTH_OF_FIELD 1103

// Sound page (128)
#define IDD_SOUND_PAGE 128
#define IDC_SOUND_DISABLE_DEVICE 1110

// ---- Gamepad settings window (101) and gamepad test window (102) -------------

// ---- System information window (110) and its pages (122 to 125) --------------
#define IDD_SYSTEM_INFORMATION 110
#define IDD_SYSINFO_SYSTEM_PAGE 122
#define IDD_SYSINFO_INSTALLATION_PAGE 123
#define IDD_SYSINFO_PROCESS_PAGE 124
#define IDD_SYSINFO_APPLICATION_PAGE 125
#define IDC_SYSINFO_TABS 1040
#define IDC_SYSINFO_COPY 1089
