#pragma once
// Identifiers of the dialogs, controls, bitmaps and commands of the
// program's dialog templates. The window finds its widgets by these numbers
// and the wizard's step table names the controls each page shows by them.

namespace tryster::controls {

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_TRYSTER_DIALOG = 102;
inline constexpr int IDD_PLOMSAVED = 151;
inline constexpr int IDD_TROKCANCEL = 175;

// Pictures.
inline constexpr int IDR_MAINFRAME = 128;  // the program icon
inline constexpr int IDB_STEP0 = 132;      // the welcome picture of step 0
inline constexpr int IDB_TITLE = 180;      // the splash picture

// The system-menu command of the About box.
inline constexpr int IDM_ABOUTBOX = 0x0010;

// Buttons shared by the small dialogs.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Main dialog controls.
inline constexpr int IDC_PREVIEW = 1000;
inline constexpr int IDC_RELOAD = 1015;
inline constexpr int IDC_HEAD_MESH_LIST = 1016;
inline constexpr int IDC_HEAD_TEXTURE_LIST = 1017;
inline constexpr int IDC_BODY_MESH_LIST = 1020;
inline constexpr int IDC_BODY_TEXTURE_LIST = 1021;
inline constexpr int IDC_ABOUT = 1028;
inline constexpr int IDC_LOAD = 1036;
inline constexpr int IDC_SAVE_BACK = 1040;
inline constexpr int IDC_MESSAGE = 1041;  // the text of the message and question boxes
inline constexpr int IDC_FACING_LIST = 1046;
inline constexpr int IDC_FACING_LABEL = 1047;
inline constexpr int IDC_ROTATE_LABEL = 1048;
inline constexpr int IDC_ROTATE_LIST = 1049;
inline constexpr int IDC_ZOOM_LABEL = 1050;
inline constexpr int IDC_VIEW_FRAME = 1051;
inline constexpr int IDC_ZOOM_SLIDER = 1052;
inline constexpr int IDC_BODY_TYPE_LABEL = 1054;
inline constexpr int IDC_SKIN_TYPE_LABEL = 1055;
inline constexpr int IDC_BODY_TYPE_LIST = 1057;
inline constexpr int IDC_SKIN_TYPE_LIST = 1058;
inline constexpr int IDC_BODY_MESH_LABEL = 1059;
inline constexpr int IDC_BODY_TEXTURE_LABEL = 1060;
inline constexpr int IDC_HEAD_MESH_LABEL = 1061;
inline constexpr int IDC_HEAD_TEXTURE_LABEL = 1062;
inline constexpr int IDC_ABOUT_HELP = 1063;  // the About box's hidden HELP button
inline constexpr int IDC_BACK = 1067;
inline constexpr int IDC_NEXT = 1068;
inline constexpr int IDC_CREATE = 1069;
inline constexpr int IDC_WELCOME = 1070;
inline constexpr int IDC_HELP = 1071;
inline constexpr int IDC_REPLACE = 1072;
inline constexpr int IDC_MALE = 1074;
inline constexpr int IDC_FEMALE = 1075;
inline constexpr int IDC_GENDER_LABEL = 1076;
inline constexpr int IDC_NICE_SLIDER = 1077;
inline constexpr int IDC_NEAT_SLIDER = 1078;
inline constexpr int IDC_OUTGOING_SLIDER = 1079;
inline constexpr int IDC_ACTIVE_SLIDER = 1080;
inline constexpr int IDC_PLAYFUL_SLIDER = 1081;
inline constexpr int IDC_NICE_LABEL = 1082;
inline constexpr int IDC_NEAT_LABEL = 1083;
inline constexpr int IDC_OUTGOING_LABEL = 1084;
inline constexpr int IDC_PLAYFUL_LABEL = 1085;
inline constexpr int IDC_ACTIVE_LABEL = 1086;
inline constexpr int IDC_TOP_INTERESTS = 1089;
inline constexpr int IDC_TOP_INTERESTS_LABEL = 1090;
inline constexpr int IDC_POINTS_LABEL = 1091;
inline constexpr int IDC_POINTS_LEFT = 1092;
inline constexpr int IDC_JOB_TRACK = 1093;
inline constexpr int IDC_JOB_TRACK_LABEL = 1094;
inline constexpr int IDC_JOB_LEVEL = 1095;
inline constexpr int IDC_JOB_LEVEL_LABEL = 1096;
inline constexpr int IDC_NAME = 1097;
inline constexpr int IDC_NAME_LABEL = 1098;
inline constexpr int IDC_DESCRIPTION = 1099;
inline constexpr int IDC_DESCRIPTION_LABEL = 1100;
inline constexpr int IDC_REMAINING_INTERESTS = 1102;
inline constexpr int IDC_TOP_ADD = 1103;
inline constexpr int IDC_TOP_REMOVE = 1104;
inline constexpr int IDC_LOW_INTERESTS = 1105;
inline constexpr int IDC_LOW_INTERESTS_LABEL = 1106;
inline constexpr int IDC_LOW_ADD = 1107;
inline constexpr int IDC_LOW_REMOVE = 1108;
inline constexpr int IDC_SIGN_BUTTON = 1109;
inline constexpr int IDC_SAVE = 1110;
inline constexpr int IDC_SIGN_LABEL = 1111;
inline constexpr int IDC_STEP0_PICTURE = 1112;
inline constexpr int IDC_READY_TEXT = 1115;
inline constexpr int IDC_PROGRESS = 1116;
inline constexpr int IDC_STATUS = 1117;
inline constexpr int IDC_TOWNIE_LIST = 1118;
inline constexpr int IDC_DATE_LIST = 1119;

}  // namespace tryster::controls
