// Resource identifiers: dialogs, strings, icon, controls and menu commands.
#pragma once

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_MAIN_DIALOG = 102;
inline constexpr int IDR_MAINFRAME = 128;

inline constexpr int IDOK = 1;

inline constexpr int IDC_GRAPH = 1000;
inline constexpr int IDC_SLIDER_BLACK = 1004;
inline constexpr int IDC_SLIDER_WHITE = 1005;
inline constexpr int IDC_VALUE_BLACK = 1006;
inline constexpr int IDC_VALUE_WHITE = 1007;
inline constexpr int IDC_SLIDER_ALPHA = 1008;
inline constexpr int IDC_SLIDER_GAMMA = 1009;
inline constexpr int IDC_VALUE_ALPHA = 1010;
inline constexpr int IDC_VALUE_GAMMA = 1011;
// The slider of each parameter, in parameter order (Black, White, Alpha, Gamma).
inline constexpr int kSliderIds[] = {IDC_SLIDER_BLACK, IDC_SLIDER_WHITE, IDC_SLIDER_ALPHA,
                                     IDC_SLIDER_GAMMA};
inline constexpr int IDC_CHANNEL_TAB = 1012;
inline constexpr int IDC_SAVE_PARAMS = 1013;
inline constexpr int IDC_LOAD_PARAMS = 1014;
inline constexpr int IDC_EXPORT_TABLES = 1015;
inline constexpr int IDC_RESET_PARAMS = 1016;
inline constexpr int IDC_IMAGE = 1017;
inline constexpr int IDC_OPEN_IMAGE = 1018;
inline constexpr int IDC_APPLY = 1019;
inline constexpr int IDC_PIXEL_R = 1020;
inline constexpr int IDC_PIXEL_G = 1021;
inline constexpr int IDC_PIXEL_B = 1022;
// The status line right of the readout: what the window last did that has
// no message of its own (the file a scan was saved to).
inline constexpr int IDC_STATUS = 1023;
// Beside the status line: the kind of film the picture is taken as, shown
// while it is a negative.
inline constexpr int IDC_FILM_MODE = 1024;

inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
// Context-menu commands for reading the image; the low four bits stay clear,
// as for every system command.
inline constexpr unsigned IDM_SHOW_HISTOGRAM = 0x0020;
inline constexpr unsigned IDM_OUTPUT_HISTOGRAM = 0x0030;
inline constexpr unsigned IDM_AUTO_BLACK_WHITE = 0x0040;
inline constexpr unsigned IDM_SHOW_BEFORE = 0x0050;
inline constexpr unsigned IDM_UNDO = 0x0060;
inline constexpr unsigned IDM_REDO = 0x0070;
// Context-menu commands for scanning.
inline constexpr unsigned IDM_SCAN_ACQUIRE = 0x0080;
inline constexpr unsigned IDM_SCAN_TABLES = 0x0090;
inline constexpr unsigned IDM_SAVE_SCAN = 0x00A0;
// Seeing the image whole or at 1:1 (ImageView).
inline constexpr unsigned IDM_ZOOM_FIT = 0x0100;
inline constexpr unsigned IDM_ZOOM_ACTUAL = 0x0110;
// Calibration from a scan of a colour chart.
inline constexpr unsigned IDM_CALIBRATE_CHART = 0x0120;
// Context-menu commands for film: which kind the scan is, and its picks.
inline constexpr unsigned IDM_FILM_POSITIVE = 0x0200;
inline constexpr unsigned IDM_FILM_COLOUR = 0x0210;
inline constexpr unsigned IDM_FILM_BLACK_WHITE = 0x0220;
inline constexpr unsigned IDM_PICK_BASE = 0x0230;
inline constexpr unsigned IDM_PICK_GREY = 0x0240;
// A roll of film's strips in a dialog of its own.
inline constexpr unsigned IDM_ROLL = 0x0250;
