// Ids of the dialog suites' resources.
#pragma once

#define IDD_CONTROLS 300
#define IDC_LABEL 1010
#define IDC_NAMES 1024
#define IDC_ONE 1001
#define IDC_TWO 1002
#define IDC_THREE 1003
#define IDC_CHECK 1004
#define IDC_PROGRESS 1005
#define IDC_EDIT 1006
