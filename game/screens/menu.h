// The menu screen and the options screen: rows of a button and its prompt.
#pragma once

void BuildMenuScreen();
void DestroyMenuScreen();

void BuildOptionsScreen();
void DestroyOptionsScreen();
// Each setting field shows its option's current value.
void RefreshOptionTexts();
