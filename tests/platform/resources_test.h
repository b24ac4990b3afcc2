// Ids shared by resources_test.rc and the resource tests.
#pragma once

#define IDS_ESPERANTO 3
#define IDS_ESCAPES (IDS_ESPERANTO + 1)
#define IDS_JOINED 50 // a comment after a definition
#define IDD_NAME 216
#define IDC_NAMES 1024
#define IDR_PAYLOAD 113

// The compiler reads only the directives of a header; declarations like this one are skipped.
int notForTheResourceCompiler(const char* text);
