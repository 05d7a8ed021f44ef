/* Identifiers of frambo.exe's resources, shared by frambo.rc and the C++ code.
   Plain C preprocessor only: windres reads this file too. Menu command ids are
   grouped by menu, a hundred per menu, so that the menu shows in the id. */
#ifndef FRAMBO_RESOURCE_IDS_H
#define FRAMBO_RESOURCE_IDS_H

/* Resources named by number. The icon is "MICON" and the cursor "PICK". */
#define IDR_MAIN_MENU 1000
#define IDB_TOOLBAR 1
#define IDB_TOOLBAR_2X 2
#define IDD_COLOR_COUNT 200
#define IDD_LOOP_COUNT 210
#define IDD_DELAYS 220

/* File menu. The recent files go between its two separators at run time. */
#define IDM_FILE_NEW 101
#define IDM_FILE_OPEN 102
#define IDM_FILE_SAVE 103
#define IDM_FILE_SAVE_AS 104
#define IDM_FILE_INSERT_FRAMES 105
#define IDM_FILE_ADD_FRAMES 106
#define IDM_FILE_DELETE_FRAME 107
#define IDM_FILE_EXIT 108
#define IDM_FILE_RECENT_FIRST 900
#define IDM_FILE_RECENT_LAST 903

/* Edit menu. */
#define IDM_EDIT_CUT 201
#define IDM_EDIT_COPY 202
#define IDM_EDIT_PASTE 203
#define IDM_EDIT_PASTE_AT_END 204
#define IDM_EDIT_CROP_TO_SELECTION 205
#define IDM_EDIT_UNDO 206
#define IDM_EDIT_REDO 207
#define IDM_EDIT_DUPLICATE_FRAME 208
#define IDM_EDIT_MOVE_EARLIER 209
#define IDM_EDIT_MOVE_LATER 210

/* View menu. */
#define IDM_VIEW_DIRTY_ONLY 301
#define IDM_VIEW_FRAMES_WINDOW 302
#define IDM_VIEW_ZOOM_IN 303
#define IDM_VIEW_ZOOM_OUT 304
#define IDM_VIEW_NORMAL 305
#define IDM_VIEW_MARK_DIRTY 306

/* Animation menu. */
#define IDM_ANIMATION_PLAY 401
#define IDM_ANIMATION_STOP 402
#define IDM_ANIMATION_NEXT_FRAME 403
#define IDM_ANIMATION_PREVIOUS_FRAME 404
#define IDM_ANIMATION_LOOP_COUNT 405
#define IDM_ANIMATION_SET_DELAYS 406
#define IDM_ANIMATION_REMOVE_DUPLICATES 407

/* Options menu. */
#define IDM_OPTIONS_COMMENT_FRAME 501
#define IDM_OPTIONS_CROP_TO_DIRTY 502
#define IDM_OPTIONS_RESTORE_FULL_SIZE 503
#define IDM_OPTIONS_OPTIMIZE_TRANSPARENCY 504

/* Colors menu. */
#define IDM_COLORS_LOAD_PALETTE 601
#define IDM_COLORS_SAVE_PALETTE 602
#define IDM_COLORS_GRAY_SCALE 603
#define IDM_COLORS_DECREASE 604
#define IDM_COLORS_BACKGROUND 605
#define IDM_COLORS_TRANSPARENT 606
#define IDM_COLORS_OPTIMAL_PALETTE 607

/* Help menu. */
#define IDM_HELP_HELP 701
#define IDM_HELP_ABOUT 703

/* Strings: the file dialogs' filters, '|' separating the parts. */
#define IDS_FILTER_SAVE_GIF 0
#define IDS_FILTER_OPEN 1
#define IDS_FILTER_PALETTE 9

/* Strings: the toolbar's tooltips. */
#define IDS_TIP_NEW 10
#define IDS_TIP_OPEN 11
#define IDS_TIP_SAVE 12
#define IDS_TIP_SAVE_AS 13
#define IDS_TIP_INSERT_FRAMES 14
#define IDS_TIP_ADD_FRAMES 15
#define IDS_TIP_CUT 16
#define IDS_TIP_COPY 17
#define IDS_TIP_PASTE 18
#define IDS_TIP_ZOOM_OUT 19
#define IDS_TIP_ZOOM_IN 20
#define IDS_TIP_PLAY 21
#define IDS_TIP_STOP 22
#define IDS_TIP_NEXT_FRAME 23
#define IDS_TIP_SHOW_FRAMES_WINDOW 24
#define IDS_TIP_SELECT 25
#define IDS_TIP_UNDO 26
#define IDS_TIP_REDO 27
#define IDS_TIP_HIDE_FRAMES_WINDOW 28

/* The toolbar bitmap: images of this size side by side, numbered from the left. */
#define TOOLBAR_IMAGE_WIDTH 18
#define TOOLBAR_IMAGE_HEIGHT 12
#define TOOLBAR_IMAGE_COUNT 18
#define TBI_NEW 0
#define TBI_OPEN 1
#define TBI_SAVE 2
#define TBI_SAVE_AS 3
#define TBI_INSERT_FRAMES 4
#define TBI_ADD_FRAMES 5
#define TBI_CUT 6
#define TBI_COPY 7
#define TBI_PASTE 8
#define TBI_ZOOM_OUT 9
#define TBI_ZOOM_IN 10
#define TBI_PLAY 11
#define TBI_STOP 12
#define TBI_NEXT_FRAME 13
#define TBI_FRAMES_WINDOW 14
#define TBI_SELECT 15
#define TBI_UNDO 16
#define TBI_REDO 17

/* The colour-count dialog. The number control is created at run time. */
#define IDC_COLOR_COUNT_OK 201
#define IDC_COLOR_COUNT_CANCEL 202
#define IDC_COLOR_COUNT_PROMPT 203
#define IDC_COLOR_COUNT_NUMBER 55

/* The loop-count dialog. */
#define IDC_LOOP_ONCE 211
#define IDC_LOOP_FOREVER 212
#define IDC_LOOP_REPEAT 213
#define IDC_LOOP_TIMES 214

/* The dialog of the delays of all frames. */
#define IDC_DELAYS_SET 221
#define IDC_DELAYS_VALUE 222
#define IDC_DELAYS_SPEED 223
#define IDC_DELAYS_FACTOR 224

#endif /* FRAMBO_RESOURCE_IDS_H */
