// Message boxes, and the memory manager's reports shown in one.
#pragma once

// Points the memory manager's report box at MessageBoxW (done when video starts).
void InstallMessageBoxReports();
