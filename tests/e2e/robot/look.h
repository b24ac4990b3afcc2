// Finding known pictures on a screenshot: a template is a picture with the pixels that count
// (a transparent key colour or covered areas left out); a match is where every counted pixel
// agrees within a tolerance, allowing a few strays.
#pragma once

#include "image.h"

#include <vector>

struct Template {
    Image picture;
    std::vector<int> counted; // pixel indices that must agree
    std::vector<int> samples; // a few counted pixels tried first at every position
};

struct Match {
    int x = 0;
    int y = 0;
    double misses = 0; // fraction of counted pixels that disagree
};

Template MakeTemplate(const Image& picture, const std::vector<bool>& counts);
// Every pixel counts except those of the key colour.
Template MakeKeyedTemplate(const Image& picture, Rgb key);

// Every place where the template shows, best position of each, not overlapping, in reading order.
std::vector<Match> FindAll(const Image& screen, const Template& t);
// The fraction of counted pixels that disagree at (x, y); 1 outside the screen.
double MissesAt(const Image& screen, const Template& t, int x, int y);
