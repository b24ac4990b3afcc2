// Ids of the controls demo.
#pragma once

#define IDD_DEMO 100
#define IDC_NAME 1024
#define IDC_EDIT 1001
#define IDC_EASY 1002
#define IDC_HARD 1003
#define IDC_SOUND 1004
#define IDC_PROGRESS 1005
