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

/* The trigger window's document template: its document string. */
#define IDR_TRIGGER_TEMPLATE 14314

/* The command that opens the trigger window. */
#define ID_TRIGGER_WINDOW 54201
