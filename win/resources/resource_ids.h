/* Identifiers of the add-in's resources in its satellite library TriggerRES.dll. Read by the
   resource compiler (trigger_res.rc) and by the add-in's C++ code, so plain macros. */
#pragma once

/* The add-in's command, its menu entries and toolbar button (registered with the host on
   connection). */
#define IDS_TRIGGER_COMMAND 14311       /* the command's name */
#define IDB_TRIGGER_COMMAND_SMALL 14312 /* the command's small toolbar image, 16 x 16 */
#define IDB_TRIGGER_COMMAND_LARGE 14313 /* the command's large toolbar image, 32 x 32 */
#define IDS_TRIGGER_SUBMENU 14328       /* the sub-menu's caption */
#define IDS_TRIGGER_SUBMENU_ENTRY 14347 /* menu entry name handed with the sub-menu */
#define IDS_TRIGGER_MENU_ENTRY 14348    /* the menu entry that opens the trigger window */

/* The trigger window's document template: its document string, its menu bar (when the window is
   a top-level window of its own) and its icon. */
#define IDR_TRIGGER_TEMPLATE 14314

/* The command that opens the trigger window. */
#define ID_TRIGGER_WINDOW 54201

/* The trigger window: its title, toolbar and context menu, the headers of its thirteen columns. */
#define IDS_TRIGGER_WINDOW_TITLE 14353
#define IDB_TRIGGER_TOOLBAR 14305 /* one 16 x 15 image per toolbar command, in toolbar order */
#define IDR_TRIGGER_CONTEXT_MENU 14342
#define IDC_TRIGGER_TOOLBAR 103 /* the toolbar's control identifier */
#define IDS_COLUMN_STATUS 14315
#define IDS_COLUMN_NAME 14316
#define IDS_COLUMN_TYPE 14317
#define IDS_COLUMN_DESTINATION 14318
#define IDS_COLUMN_SIZE 14319
#define IDS_COLUMN_DST_MODE 14320
#define IDS_COLUMN_SOURCE 14321
#define IDS_COLUMN_SRC_MODE 14322
#define IDS_COLUMN_COUNT 14323
#define IDS_COLUMN_CYCLE 14324
#define IDS_COLUMN_WAIT 14325
#define IDS_COLUMN_MASK 14326
#define IDS_COLUMN_NUMBER 14327

/* The trigger window's commands; each has a string "prompt\ntooltip" of its number. */
#define ID_TRIGGER_INTERRUPT 54202
#define ID_TRIGGER_STREAM 54203
#define ID_TRIGGER_TRANSFER 54204
#define ID_TRIGGER_DELETE 54205
#define ID_TRIGGER_CONNECT 54206
#define ID_TRIGGER_ACTIVATE 54207
#define ID_TRIGGER_DEACTIVATE 54208
#define ID_TRIGGER_IOSTREAM 54209
#define ID_TRIGGER_CONTROL 54210
#define ID_TRIGGER_FIRE 54212
#define ID_TRIGGER_RESET 54213
/* Commands of the window's own menu bar, with the numbers such commands usually have. */
#define ID_WINDOW_CLOSE 0xE102
#define ID_WINDOW_SAVE_AS 0xE104
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_UNDO 0xE12B
#define ID_WINDOW_HELP 0xE146
