/* Resource, command and control identifiers, shared by quillon.rc and the code. */
#ifndef QUILLON_RESOURCE_H
#define QUILLON_RESOURCE_H

/* Resources */
#define IDI_QUILLON 101
#define IDR_MAINMENU 102
#define IDB_TOOLBAR 103
#define IDD_ABOUT 107
#define IDR_ACCELERATORS 108
#define IDD_OPTIONS 111

/* Windows */
#define IDC_STATUSBAR 106
#define IDC_TOOLBAR 102
#define IDC_MDICLIENT 108
#define IDM_FIRSTCHILD 107
#define IDC_OUTPUTPANE 51000
#define IDC_OUTPUTLIST 51001

/* File */
#define IDM_FILE_NEW 4001
#define IDM_FILE_OPEN 4002
#define IDM_FILE_SAVE 4003
#define IDM_FILE_SAVEAS 4004
#define IDM_FILE_SAVEALL 4005
#define IDM_FILE_NEWPROJECT 4006
#define IDM_FILE_OPENPROJECT 4007
#define IDM_FILE_EXIT 4008
/* Tools */
#define IDM_TOOLS_FONT 5000
#define IDM_TOOLS_OPTIONS 5001
/* Help */
#define IDM_HELP_ABOUT 6000
/* Window */
#define IDM_WINDOW_CASCADE 7000
#define IDM_WINDOW_TILEHORZ 7001
#define IDM_WINDOW_TILEVERT 7002
#define IDM_WINDOW_CLOSEALL 7003
/* Macros */
#define IDM_MACRO_1 8000
#define IDM_MACRO_2 8001
#define IDM_MACRO_3 8002
#define IDM_MACRO_4 8003
#define IDM_MACRO_OPTIONS 8004
/* Project */
#define IDM_PROJECT_ADDSOURCE 9000
#define IDM_PROJECT_ADDINCLUDE 9001
#define IDM_PROJECT_ADDOTHER 9002
#define IDM_PROJECT_REMOVE 9003
#define IDM_PROJECT_SETTINGS 9004
/* Recent lists */
#define IDM_RECENTFILE_FIRST 10000
#define IDM_RECENTFILE_LAST 10004
#define IDM_RECENTPROJECT_FIRST 11000
#define IDM_RECENTPROJECT_LAST 11004
/* Without a menu of their own */
#define IDM_BUILD 40038
#define IDM_TOOLS_OUTPUTPANE 40043
#define IDM_EDIT_REPLACE 40045
#define IDM_EDIT_FIND 40046
#define IDM_EDIT_FINDNEXT 40048

/* Stop the running build (Ctrl+Break) */
#define IDM_BUILD_STOP 40039

/* About dialog */
#define IDC_ABOUT_EMAIL 1020
#define IDC_ABOUT_WEBSITE 1021
#define IDC_ABOUT_VERSION 1000
/* IDE Options dialog */
#define IDC_OPTIONS_PATH 1016
#define IDC_OPTIONS_BROWSE 1018

/* Find dialog */
#define IDD_FIND 114
#define IDC_FIND_TEXT 1021
#define IDC_FIND_REGEX 1022
#define IDC_FIND_ALLDOCS 1023
#define IDC_FIND_WHOLEWORD 1024
#define IDC_FIND_MATCHCASE 1025
#define IDC_FIND_UP 1026
#define IDC_FIND_DOWN 1027

/* Replace dialog (also uses the Find dialog's text and option ids) */
#define IDD_REPLACE 130
#define IDC_REPLACE_WITH 1040
#define IDC_REPLACE_FINDNEXT 1041
#define IDC_REPLACE_ONE 1042
#define IDC_REPLACE_ALL 1043

/* File pane: tree images and masks, windows */
#define IDB_TREE_ROOT 109
#define IDB_TREE_SOURCE 110
#define IDB_TREE_INCLUDE 111
#define IDB_TREE_GROUP 112
#define IDB_MASK_ROOT 113
#define IDB_MASK_GROUP 114
#define IDB_MASK_INCLUDE 115
#define IDB_MASK_SOURCE 116
#define IDB_MASK_OTHER 117
#define IDB_TREE_OTHER 118
#define IDB_TREE_LISTING 119
#define IDB_MASK_LISTING 120
#define IDB_TREE_MAINSOURCE 121
#define IDC_FILEPANE 50000
#define IDC_FILETREE 50001

/* Project dialogs */
#define IDD_NEWPROJECT 110
#define IDD_PROJECTSETTINGS 113
#define IDC_PROJECT_NAME 1001
#define IDC_PROJECT_LOCATION 1002
#define IDC_PROJECT_OUTPUTNAME 1002
#define IDC_PROJECT_BROWSE 1003
#define IDC_PROJECT_BROWSEOUTPUT 1004
#define IDC_PROJECT_OUTPUTPATH 1017
#define IDC_PROJECT_ABSOLUTE 1019
// Project Settings' include folders (2900-2919).
#define IDC_PROJECT_INCLUDEFOLDERS 2900

/* Macro Options sheet: one page template, used four times */
#define IDD_MACRO_PAGE 112
#define IDC_MACRO_TEXT 1004
#define IDC_MACRO_PREVIEW 1005
#define IDC_MACRO_LOCAL 1012
#define IDC_MACRO_INPUT 1013
#define IDC_MACRO_ASM 1014
#define IDC_MACRO_OUTDIR 1015

/* Help string offsets of the menu popups */
#define IDS_HELP_FILE 50
#define IDS_HELP_TOOLS 51
#define IDS_HELP_PROJECT 52
#define IDS_HELP_MACROS 53
#define IDS_HELP_WINDOW 54
#define IDS_HELP_HELP 55

/* Run (F5), the emulator settings of IDE Options, the Macro 1 page note */
#define IDM_BUILD_RUN 42400
#define IDC_OPTIONS_EMULATOR 2500
#define IDC_OPTIONS_EMULATOR_BROWSE 2501
#define IDC_OPTIONS_EMULATOR_ARGS 2502
#define IDC_MACRO_NOTE 2503
/* Help menu: user guide, keyboard shortcuts */
#define IDM_HELP_GUIDE 42500
#define IDM_HELP_SHORTCUTS 42501
#define IDD_SHORTCUTS 2600
#define IDC_SHORTCUTS_LIST 2601
/* Projects: Close Project, the file pane's Set as Main Source, IDE Options' reopen check box */
#define IDM_PROJECT_CLOSE 42200
#define IDM_PANE_SETMAIN 42201
#define IDM_PANE_OPEN 42202
#define IDM_PANE_REMOVE 42203
#define IDC_OPTIONS_REOPENPROJECT 2300
/* Build menu, error navigation, go to line, find backwards, output pane, line numbers */
#define IDM_BUILD_NEXTERROR 42301
#define IDM_BUILD_PREVERROR 42302
#define IDM_EDIT_GOTOLINE 42303
#define IDM_EDIT_FINDPREV 42304
#define IDM_TOOLS_LINENUMBERS 42305
#define IDM_OUTPUT_COPY 42306
#define IDM_OUTPUT_CLEAR 42307
#define IDS_TIP_BUILD 42390
#define IDS_TIP_STOP 42391
#define IDD_GOTOLINE 2400
#define IDC_GOTOLINE_NUMBER 2401
#define IDC_GOTOLINE_RANGE 2402
#define IDC_REPLACE_INSELECTION 2403
/* Editing: the Edit menu's text commands and the text's right-click menu */
#define IDM_EDIT_UNDO 42000
#define IDM_EDIT_REDO 42001
#define IDM_EDIT_CUT 42002
#define IDM_EDIT_COPY 42003
#define IDM_EDIT_PASTE 42004
#define IDM_EDIT_DELETE 42005
#define IDM_EDIT_SELECTALL 42006
#define IDR_TEXTMENU 2100
/* Editor: tab width, status bar */
#define IDC_OPTIONS_TABWIDTH 2200
/* Go to Definition, Go Back, Go to Symbol */
#define IDM_EDIT_GOTODEFINITION 42600
#define IDM_EDIT_GOBACK 42601
#define IDM_EDIT_GOTOSYMBOL 42602
#define IDD_GOTOSYMBOL 2700
#define IDC_GOTOSYMBOL_FILTER 2701
#define IDC_GOTOSYMBOL_LIST 2702
/* Program insight: references, rename, memory map, tips, completion, cycles */
#define IDM_EDIT_FINDREFERENCES 42750
#define IDM_EDIT_RENAMESYMBOL 42751
#define IDM_BUILD_MEMORYMAP 42752
#define IDM_TOOLS_CYCLECOLUMN 42753
#define IDM_EDIT_COMPLETE 42754
#define IDD_RENAMESYMBOL 2850
#define IDC_RENAME_LABEL 2851
#define IDC_RENAME_NAME 2852
#define IDC_RENAME_PREVIEW 2853
#define IDD_MEMORYMAP 2860
#define IDC_MEMORYMAP_LIST 2861

#endif
