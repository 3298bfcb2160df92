/* The IDE window's resource and command identifiers, shared by ide_frame.rc and the code. The
   host's own commands lie in 40000 to 40999 (standin/model/addin_commands.h keeps add-ins out of
   that range and out of the Window menu's child entries from 0xFF00 up). */
#pragma once

#define IDR_IDE_MENU 200
#define IDR_IDE_ACCELERATORS 201
#define IDB_IDE_TOOLBAR 202
#define IDD_TRIGGER_PROMPT 210

/* The trigger prompt's controls. */
#define IDC_PROMPT_TEXT 1000
#define IDC_PROMPT_TRIGGER 1001

/* File */
#define ID_FILE_OPEN 40001
#define ID_FILE_SAVE 40002
#define ID_FILE_SAVE_AS 40003
#define ID_FILE_EXIT 40009
/* Debug */
#define ID_DEBUG_START 40101
#define ID_DEBUG_STOP 40102
#define ID_DEBUG_ACTIVATE_ALL 40111
#define ID_DEBUG_DEACTIVATE_ALL 40112
#define ID_DEBUG_RESET_ALL 40113
#define ID_DEBUG_ACTIVATE 40121
#define ID_DEBUG_DEACTIVATE 40122
#define ID_DEBUG_FIRE 40123
#define ID_DEBUG_RESET 40124
/* Window */
#define ID_WINDOW_CASCADE 40201
#define ID_WINDOW_TILE_HORIZONTALLY 40202
#define ID_WINDOW_TILE_VERTICALLY 40203
#define ID_WINDOW_ARRANGE 40204
/* Help */
#define ID_HELP_ABOUT 40301

/* Strings: the window's texts by identifier, and a status-bar hint per command under the
   command's identifier. */
#define IDS_SAVE_CHANGES 300
#define IDS_PROJECT_FILTER 301
#define IDS_ABOUT 302
#define IDS_LOG_PANE 303

/* The IDE window's child windows, by their control identifiers. */
#define IDC_LOG_PANE 100
#define IDC_TOOLBAR 101
#define IDC_STATUS_BAR 102
#define IDC_MDI_CLIENT 103
