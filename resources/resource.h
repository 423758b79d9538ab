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

#define IDD_MOTION_BLUR 303
#define IDC_MOTION_BLUR_ANGLE_EDIT 1214
#define IDC_MOTION_BLUR_ANGLE 1222
#define IDC_MOTION_BLUR_RADIUS_EDIT 1223
#define IDC_MOTION_BLUR_SIGMA_EDIT 1224
#define IDC_MOTION_BLUR_SIGMA 1225
#define IDC_MOTION_BLUR_RADIUS 1226

#define IDD_COLOR_BOX 285
// The colour box's point-pick notification (WM_NOTIFY with this id in the low word of wParam,
// the point in lParam); nothing in the library sends it.
#define IDN_COLOR_BOX_PICK 1025
#define IDC_COLOR_HUE_SLIDER 1149
#define IDC_COLOR_HUE_OPTION 1150
#define IDC_COLOR_SATURATION_OPTION 1151
#define IDC_COLOR_BRIGHTNESS_OPTION 1152
#define IDC_COLOR_RED_OPTION 1153
#define IDC_COLOR_GREEN_OPTION 1154
#define IDC_COLOR_BLUE_OPTION 1155
#define IDC_COLOR_HUE_EDIT 1177
#define IDC_COLOR_SATURATION_EDIT 1178
#define IDC_COLOR_BRIGHTNESS_EDIT 1179
#define IDC_COLOR_RED_EDIT 1180
#define IDC_COLOR_GREEN_EDIT 1181
#define IDC_COLOR_BLUE_EDIT 1182
#define IDC_COLOR_HEX_EDIT 1284

#define IDD_LENS_FLARE 104
// Opens the colour box from the lens flare dialog: sent as WM_NOTIFY when its swatch is
// clicked.
#define IDN_LENS_FLARE_CHOOSE_COLOR 515
#define IDC_LENS_FLARE_SIZE 1024
#define IDC_LENS_FLARE_INTENSITY_EDIT 1025
#define IDC_LENS_FLARE_BRIGHTNESS 1026
#define IDC_LENS_FLARE_INTENSITY 1027
#define IDC_LENS_FLARE_SIZE_EDIT 1297
#define IDC_LENS_FLARE_BRIGHTNESS_EDIT 1298

#define IDD_PRINT_JOB 211
#define IDC_PRINT_JOB_TEXT 83
// Sent by the print thread to the cancel box (WM_COMMAND with this id, lParam 0) when the job
// is over, whatever its outcome: the one way the box closes.
#define IDC_PRINT_JOB_DONE 8
