#include "window.h"
void RegisterSystemClasses() {}
