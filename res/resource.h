/* Dialog and control ids, shared by res/pelmo.rc and the code. Plain defines, because
   the resource compiler reads this file too. */
#ifndef PELMO_RES_RESOURCE_H
#define PELMO_RES_RESOURCE_H

#define IDI_PELMO 1

/* Dialog 1: the main dialog. */
#define IDD_MAIN 1
#define IDC_FAVOURITES_FOLDER 101
#define IDC_BOOKMARK_FILE 102
#define IDC_BOOKMARK_TITLE 103
#define IDC_BROWSE_FILE 104
#define IDC_FAVOURITES_TO_BOOKMARKS 105
#define IDC_BOOKMARKS_TO_FAVOURITES 106
#define IDC_BROWSE_FOLDER 108

/* Dialog 2: progress. */
#define IDD_PROGRESS 2
#define IDC_PROGRESS_HIDDEN 100
#define IDC_PROGRESS_BAR 101
#define IDC_PROGRESS_STATUS 102

/* Dialog 3: the overwrite question. */
#define IDD_OVERWRITE 3
#define IDC_REPLACE 101

#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDCANCEL
#define IDCANCEL 2
#endif
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
