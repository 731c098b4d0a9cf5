// Control, command and timer ids of the main window.
#pragma once

namespace ardvix::window {

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_FINDER_DIALOG = 102;
inline constexpr int IDI_MAINFRAME = 128;
inline constexpr int IDD_VIDEOSET_DIALOG = 129;
inline constexpr int IDD_FINDIP_DIALOG = 130;
inline constexpr int IDD_HELP_DIALOG = 135;

inline constexpr int IDOK_EXIT = 1;
inline constexpr int IDC_IP_FIND = 1000;
inline constexpr int IDC_LOG = 1001;
inline constexpr int IDC_BROADCAST_OFF = 1002;
inline constexpr int IDC_DEVICE_LIST = 1005;
inline constexpr int IDC_IP_CHANGE = 1006;
inline constexpr int IDC_IP_ADDRESS = 1017;
inline constexpr int IDC_GATEWAY = 1018;
inline constexpr int IDC_SUBNET_MASK = 1019;
inline constexpr int IDC_MAC = 1024;
inline constexpr int IDC_VIDEO_SET = 1025;
inline constexpr int IDC_ID = 1026;
inline constexpr int IDC_PASSWORD = 1027;
inline constexpr int IDC_PING = 1028;
inline constexpr int IDC_LIST_CLEAR = 1029;
inline constexpr int IDC_SAVE = 1030;
inline constexpr int IDC_FIND_CAM = 1032;
inline constexpr int IDC_STATUS = 1033;
inline constexpr int IDC_STATIC_IP = 1050;
inline constexpr int IDC_DYNAMIC_IP = 1051;
inline constexpr int IDC_HELP = 1054;

inline constexpr int IDM_ABOUTBOX = 16;

inline constexpr int TIMER_DISCOVERY = 1;
inline constexpr int TIMER_DISCOVERY_MS = 10000;
inline constexpr int TIMER_PING = 4097;
inline constexpr int TIMER_PING_MS = 50;

inline constexpr int kPasswordMaxChars = 10;

}  // namespace ardvix::window
