// Publishing the high scores and viewing the published ones, through the device's web
// browser. Nothing is reported when there is no browser or no connection: the menu tells
// the player that a live network connection is needed.
#pragma once

#include <string>

void PublishScores();
void ViewNetScores();
void OpenInBrowser(const std::string& address);
