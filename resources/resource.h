#pragma once
// Resource numbers shared by the code and the dialog templates.

#define IDD_ABOUT 115

#define IDC_ABOUT_OK 1000
#define IDC_ABOUT_LINE1 1009
#define IDC_ABOUT_LINE2 1010
#define IDC_ABOUT_LINE3 1011
#define IDC_ABOUT_LINE4 1012

#define IDS_FIELD 105
#define IDS_VALUE 106
#define IDS_FILE_NAME 107
#define IDS_LENGTH 108
#define IDS_WIDTH 109
#define IDS_ABOUT_WEB 110
#define IDS_ABOUT_PRODUCT 115
#define IDS_ABOUT_AUTHOR 116
#define IDS_ABOUT_COMPANY 117
