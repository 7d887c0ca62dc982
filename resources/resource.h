#pragma once
// Resource and command identifiers shared by the .rc file and the code.

#define IDR_TRAYMENU            102
#define IDD_OPTIONS             104
#define IDD_NOTE                110
#define IDR_NOTEMENU            111
#define IDI_DRIFTPAD            112
#define IDD_ALARM               113
#define IDD_ALARMNOTICE         114
#define IDI_NOTESFILE           115

#define IDC_QUIT                1000
#define IDC_NOTEEDIT            1001
#define IDC_ABOUTTEXT           1002
#define IDC_ALARMDATE           1003
#define IDC_ALARMTIME           1004
#define IDC_ALARMENABLE         1006
#define IDC_NOTICETEXT          1007
#define IDC_AUTOSAVE            1008
#define IDC_DBLCLICKGROUP       1009
#define IDC_DBLCLICKOPTIONS     1010
#define IDC_DBLCLICKNEWNOTE     1011
#define IDC_ONDESKTOP           1012

#define ID_NEWNOTE              40001
#define ID_DELETENOTE           40002
#define ID_HIDEALL              40003
#define ID_SHOWHIDDEN           40004
#define ID_DELETEALL            40005
#define ID_ALWAYSONTOP          40007
#define ID_QUIT                 40008
#define ID_OPEN                 40010
#define ID_HIDENOTE             40012
#define ID_EDIT_UNDO            40015
#define ID_EDIT_CUT             40016
#define ID_EDIT_COPY            40017
#define ID_EDIT_PASTE           40018
#define ID_EDIT_DELETE          40019
#define ID_EDIT_SELECTALL       40020
#define ID_SAVE                 40022
#define ID_SAVEAS               40023
#define ID_OPTIONS              40024
#define ID_ALARM                40025
