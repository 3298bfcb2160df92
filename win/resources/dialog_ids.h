/* Identifiers of the trigger dialogs in TriggerRES.dll: their templates (each with an RCDATA
   resource of the same identifier holding the items of its lists), their controls, and the
   strings they show. Read by the resource compiler and by the dialogs' code, so plain macros.
   Control identifiers are unique within their dialog only. */
#pragma once

/* Templates. */
#define IDD_TRIGGER_IO_STREAM 14308
#define IDD_TRIGGER_INTERRUPT 14315
#define IDD_TRIGGER_DATA 14316
#define IDD_TRIGGER_TRANSFER 14318
#define IDD_TRIGGER_CONNECTION 14319
#define IDD_TRIGGER_CONTROL 14349

/* The data dialog's message about a data pattern the generator cannot read. */
#define IDS_BAD_PATTERN_CAPTION 14354
#define IDS_BAD_PATTERN_TEXT 14355
/* The messages about a field that fails its test while it is disabled: what is wrong, and how to
   make the field available to correct it. */
#define IDS_DISABLED_FIELD_CAPTION 14356
#define IDS_DISABLED_COUNT_TEXT 14357
#define IDS_DISABLED_CYCLE_TEXT 14358
#define IDS_DISABLED_WAIT_TEXT 14359

/* Controls every trigger dialog has (the connection dialog's name is its own). */
#define IDC_TRIGGER_NUMBER 14300
#define IDC_TRIGGER_NAME 14301
#define IDC_TRIGGER_CYCLE 14303
#define IDC_TRIGGER_WAIT 14304

/* Transfer dialog. */
#define IDC_TRANSFER_COUNT_SPIN 14320
#define IDC_TRANSFER_COUNT 14321
#define IDC_TRANSFER_SOURCE 14322
#define IDC_TRANSFER_DESTINATION 14323
#define IDC_TRANSFER_SRC_MODE 14324
#define IDC_TRANSFER_DST_MODE 14325
#define IDC_TRANSFER_SIZE 14326
#define IDC_TRANSFER_SRC_VALUE 14327
#define IDC_TRANSFER_DST_VALUE 14328
#define IDC_TRANSFER_SRC_VALUE_SPIN 14329
#define IDC_TRANSFER_DST_VALUE_SPIN 14330
#define IDC_TRANSFER_SRC_VALUE_LABEL 14351
#define IDC_TRANSFER_DST_VALUE_LABEL 14352

/* Data dialog. */
#define IDC_DATA_KIND_DATA 14308
#define IDC_DATA_KIND_STREAM 14309
#define IDC_DATA_REPEAT 14310
#define IDC_DATA_DESTINATION 14311
#define IDC_DATA_GENERATE 14312
#define IDC_DATA_LIST 14313
#define IDC_DATA_STREAM_SOURCE 14315
#define IDC_DATA_COUNT 14317
#define IDC_DATA_MASK 14318
#define IDC_DATA_SIZE 14319
#define IDC_DATA_COUNT_SPIN 14320
#define IDC_DATA_GENERATE_LABEL 14361 /* labels that are enabled with their fields */
#define IDC_DATA_LIST_LABEL 14362
#define IDC_DATA_STREAM_SOURCE_LABEL 14363
#define IDC_DATA_COUNT_LABEL 14364
#define IDC_DATA_CHART 14365 /* the chart of the pattern, drawn by the dialog */

/* Interrupt dialog. */
#define IDC_INTERRUPT_SOURCE 14302
#define IDC_INTERRUPT_CLEAR 14305
#define IDC_INTERRUPT_CYCLE_SPIN 14306
#define IDC_INTERRUPT_WAIT_SPIN 14307
#define IDC_INTERRUPT_CYCLE_LABEL 14361
#define IDC_INTERRUPT_WAIT_LABEL 14362

/* Connection dialog. */
#define IDC_CONNECTION_NAME 14331
#define IDC_CONNECTION_AVAILABLE 14332
#define IDC_CONNECTION_ADD 14333
#define IDC_CONNECTION_REMOVE 14334
#define IDC_CONNECTION_CONNECTED 14335

/* I/O stream dialog. */
#define IDC_IO_STREAM_VALUE 14338
#define IDC_IO_STREAM_SPIN 14339

/* Control dialog. */
#define IDC_CONTROL_TARGET 14350
#define IDC_CONTROL_ACTION 14351
